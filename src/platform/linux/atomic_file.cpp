#include "platform/linux/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace {

// A name no other writer uses at the same time: the process id, a per-process counter and a random
// part (several processes may replace the same file at once).
std::string temporaryNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  static const unsigned salt = std::random_device{}();
  std::filesystem::path p(path);
  return (p.parent_path() / ("." + p.filename().string() + "." + std::to_string(getpid()) + "-" +
                             std::to_string(salt) + "-" + std::to_string(counter++) + ".tmp"))
      .string();
}

bool writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

namespace AtomicFile {

std::string errorText(const std::string& action, const std::string& path) {
  return action + " " + path + ": " + std::strerror(errno);
}

std::string directoryOf(const std::string& path) {
  auto parent = std::filesystem::path(path).parent_path().string();
  return parent.empty() ? "." : parent;
}

void syncDirectory(const std::string& directory) {
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::optional<std::string> makeDirectories(const std::string& directory, mode_t mode) {
  std::filesystem::path dir(directory);
  std::error_code error;
  if (std::filesystem::is_directory(dir, error)) return std::nullopt;
  if (dir.has_parent_path()) std::filesystem::create_directories(dir.parent_path(), error);
  if (::mkdir(directory.c_str(), mode) != 0 && errno != EEXIST) {
    return errorText("couldn't create the folder", directory);
  }
  if (!std::filesystem::is_directory(dir, error)) return "couldn't create the folder " + directory;
  return std::nullopt;
}

std::optional<std::string> replace(const std::string& path, const std::string& bytes,
                                   std::optional<mode_t> mode, Flush flush) {
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = temporaryNameFor(path);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666));
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return errorText("couldn't write", path);

  bool written = writeAll(fd, bytes) && (!mode || ::fchmod(fd, *mode) == 0) &&
                 (flush == Flush::none || ::fsync(fd) == 0);
  int savedErrno = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    savedErrno = errno;
  }
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) {
    if (flush == Flush::toDisk) syncDirectory(directoryOf(path));
    return std::nullopt;
  }
  if (written) savedErrno = errno;
  ::unlink(temporary.c_str());
  errno = savedErrno;
  return errorText("couldn't write", path);
}

}  // namespace AtomicFile
