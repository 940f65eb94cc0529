#include "platform/linux_utilities/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <string_view>

namespace {

// A temporary file this young may belong to a writer that has created it but not locked it yet.
constexpr time_t kStaleAfterSeconds = 10;

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

// Whether `name` is one of the temporary names `temporaryNameFor` gives `file`.
bool isTemporaryNameOf(std::string_view name, const std::string& file) {
  const std::string prefix = "." + file + ".";
  constexpr std::string_view suffix = ".tmp";
  if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix))
    return false;
  std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  int dashes = 0;
  for (char c : middle) {
    if (c == '-')
      ++dashes;
    else if (c < '0' || c > '9')
      return false;
  }
  return dashes == 2;
}

// Removes the temporary files of `path` whose writers are gone: a live writer holds the lock on its
// file until it has renamed it, and the lock dies with the writer.
void removeStaleTemporaries(const std::string& path) {
  std::filesystem::path p(path);
  const std::string directory = AtomicFile::directoryOf(path);
  const std::string file = p.filename().string();
  DIR* listing = ::opendir(directory.c_str());
  if (!listing) return;
  const time_t now = ::time(nullptr);
  while (const dirent* entry = ::readdir(listing)) {
    if (!isTemporaryNameOf(entry->d_name, file)) continue;
    std::string candidate = directory + "/" + entry->d_name;
    int fd = ::open(candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info {};
    bool stale = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                 now - info.st_mtime >= kStaleAfterSeconds && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (stale) ::unlink(candidate.c_str());
    ::close(fd);
  }
  ::closedir(listing);
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

std::optional<std::string> linkTarget(const std::string& path) {
  std::filesystem::path current = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error)))
      return current.string();
    auto next = std::filesystem::read_symlink(current, error);
    if (error) return std::nullopt;
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return std::nullopt;
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

Failure makeDirectories(const std::string& directory, mode_t mode) {
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

Failure replace(const std::string& path, const std::string& bytes, std::optional<mode_t> mode, Flush flush) {
  removeStaleTemporaries(path);
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = temporaryNameFor(path);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666));
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return errorText("couldn't write", path);

  // Marks the file as being written until it is renamed or removed (see removeStaleTemporaries).
  ::flock(fd, LOCK_EX | LOCK_NB);
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
