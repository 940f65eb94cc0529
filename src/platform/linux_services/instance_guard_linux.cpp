#include "platform/linux_services/instance_guard_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <thread>

#include "platform/linux_utilities/atomic_file.h"
#include "platform/linux_utilities/private_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr mode_t kFileMode = 0600;
// A tool looking at the guard holds a shared lock for a moment; an exclusive attempt that meets
// only such a look succeeds within a few tries, one that meets an application never does.
constexpr int kAcquireAttempts = 20;
constexpr auto kAcquirePause = std::chrono::milliseconds(5);

// Whether `fd` is still the file at `name` in the folder: a file removed and created anew under
// the same name is another lock.
bool sameFile(int fd, int folder, const std::string& name) {
  struct stat held {
  }, current{};
  return ::fstat(fd, &held) == 0 && ::fstatat(folder, name.c_str(), &current, AT_SYMLINK_NOFOLLOW) == 0 &&
         held.st_dev == current.st_dev && held.st_ino == current.st_ino;
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

LinuxInstanceGuard::LinuxInstanceGuard(std::string path) {
  fs::path full(path);
  folder_ = full.parent_path().string();
  name_ = full.filename().string();
}

LinuxInstanceGuard::~LinuxInstanceGuard() {
  if (fd_ >= 0) ::close(fd_);
}

std::string LinuxInstanceGuard::defaultPath() {
  return PrivateFolder::halomarkFolder() + "/application.lock";
}

int LinuxInstanceGuard::openFile(bool create) {
  std::string path = folder_ + "/" + name_;
  struct stat info {};
  // No folder yet: no application has run, which is no problem.
  if (!create && ::lstat(folder_.c_str(), &info) != 0 && errno == ENOENT) return -1;
  auto folder = PrivateFolder::open(folder_, create);
  if (folder.fd < 0) {
    problem_ = folder.problem;
    return -1;
  }
  // Not blocking: a named pipe in the file's place must not hold the start up.
  int flags = (create ? O_RDWR | O_CREAT : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  int fd = ::openat(folder.fd, name_.c_str(), flags, kFileMode);
  int openError = errno;
  if (fd >= 0 && !sameFile(fd, folder.fd, name_)) {
    ::close(fd);
    fd = -1;
    openError = EAGAIN;
  }
  ::close(folder.fd);
  if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
    ::close(fd);
    problem_ = path + " is not a plain file";
    return -1;
  }
  if (fd < 0 && openError == ELOOP)
    problem_ = path + " is a symbolic link";
  else if (fd < 0 && openError != ENOENT && openError != EAGAIN)
    problem_ = std::string("couldn't open ") + path + ": " + std::strerror(openError);
  return fd;
}

InstanceGuard::Acquired LinuxInstanceGuard::acquire() {
  if (fd_ >= 0) return Acquired::yes;
  problem_.reset();
  for (int attempt = 0; attempt < kAcquireAttempts; ++attempt) {
    int fd = openFile(true);
    if (problem_) return Acquired::unusable;
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // The pid of an earlier holder goes only once the lock is held.
      if (::ftruncate(fd, 0) == 0) {
        fd_ = fd;
        return Acquired::yes;
      }
    } else if (fd >= 0 && errno != EWOULDBLOCK && errno != EINTR) {
      problem_ = AtomicFile::errorText("couldn't lock", folder_ + "/" + name_);
      ::close(fd);
      return Acquired::unusable;
    }
    if (fd >= 0) ::close(fd);
    std::this_thread::sleep_for(kAcquirePause);
  }
  return Acquired::heldElsewhere;
}

void LinuxInstanceGuard::markReady() {
  if (fd_ < 0 || ready_) return;
  std::string text = std::to_string(::getpid()) + "\n";
  ready_ = ::pwrite(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}

std::optional<InstanceGuard::Holder> LinuxInstanceGuard::holder() {
  if (fd_ >= 0) return Holder{ready_ ? std::optional<long>(::getpid()) : std::nullopt};
  problem_.reset();
  int fd = openFile(false);
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

std::optional<std::string> LinuxInstanceGuard::problem() {
  if (fd_ >= 0) return std::nullopt;
  if (!problem_) holder();
  return problem_;
}
