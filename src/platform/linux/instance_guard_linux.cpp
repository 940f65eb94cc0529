#include "platform/linux/instance_guard_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <string_view>
#include <thread>

#include "platform/linux/user_directories.h"

namespace {

namespace fs = std::filesystem;

constexpr mode_t kFileMode = 0600;
// A tool looking at the guard holds a shared lock for a moment; an exclusive attempt that meets
// only such a look succeeds within a few tries, one that meets an application never does.
constexpr int kAcquireAttempts = 20;
constexpr auto kAcquirePause = std::chrono::milliseconds(5);

bool sameFile(int fd, const std::string& path) {
  struct stat held {
  }, current{};
  return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &current) == 0 && held.st_dev == current.st_dev &&
         held.st_ino == current.st_ino;
}

std::optional<long> pidIn(int fd) {
  char buffer[32];
  ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
  if (n <= 0) return std::nullopt;
  std::string_view text(buffer, static_cast<std::size_t>(n));
  long pid = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
  if (error != std::errc() || end == text.data() || pid <= 0) return std::nullopt;
  return pid;
}

}  // namespace

LinuxInstanceGuard::LinuxInstanceGuard(std::string path) : path_(std::move(path)) {}

LinuxInstanceGuard::~LinuxInstanceGuard() {
  if (fd_ >= 0) ::close(fd_);
}

std::string LinuxInstanceGuard::defaultPath() {
  auto base = UserDirectories::runtimeDirectory().value_or(UserDirectories::cacheHome());
  return base + "/halomark/application.lock";
}

bool LinuxInstanceGuard::acquire() {
  if (fd_ >= 0) return true;
  std::error_code ignored;
  fs::create_directories(fs::path(path_).parent_path(), ignored);
  for (int attempt = 0; attempt < kAcquireAttempts; ++attempt) {
    int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kFileMode);
    // A folder that cannot hold the guard keeps no one out: the application runs unguarded rather
    // than not at all.
    if (fd < 0) return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // A file removed and created anew under the same name is another lock: take that one.
      if (sameFile(fd, path_) && ::ftruncate(fd, 0) == 0) {
        fd_ = fd;
        return true;
      }
    } else if (errno != EWOULDBLOCK && errno != EINTR) {
      ::close(fd);
      return true;
    }
    ::close(fd);
    std::this_thread::sleep_for(kAcquirePause);
  }
  return false;
}

void LinuxInstanceGuard::markReady() {
  if (fd_ < 0 || ready_) return;
  std::string text = std::to_string(::getpid()) + "\n";
  ready_ = ::pwrite(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}

std::optional<InstanceGuard::Holder> LinuxInstanceGuard::holder() {
  if (fd_ >= 0) return Holder{ready_ ? std::optional<long>(::getpid()) : std::nullopt};
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<Holder> found;
  if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
    ::flock(fd, LOCK_UN);
  } else if (errno == EWOULDBLOCK) {
    found = Holder{pidIn(fd)};
  }
  ::close(fd);
  return found;
}
