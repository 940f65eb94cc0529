#include "platform/linux_utilities/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <mutex>
#include <set>

#include "platform/linux_utilities/atomic_file.h"
#include "platform/linux_utilities/user_directories.h"

namespace {

constexpr mode_t kFolderMode = 0700;

// `tighten` closes a folder of the user's own that others may read but not change (as earlier
// versions created it): nothing can have been planted in it, so closing it is all it needs.
std::optional<std::string> problemWithInfo(const struct stat& info, const std::string& path,
                                           const std::function<bool()>& tighten) {
  if (!S_ISDIR(info.st_mode)) return path + " is not a folder";
  if (info.st_uid != ::geteuid()) return path + " belongs to another user";
  if ((info.st_mode & 077) == 0) return std::nullopt;
  if ((info.st_mode & 022) == 0 && tighten()) return std::nullopt;
  return path + " can be entered by other users";
}

void reportOnce(const std::string& text) {
  static std::mutex guard;
  static std::set<std::string> reported;
  std::lock_guard lock(guard);
  if (reported.insert(text).second) std::cerr << "halomark: " << text << "\n";
}

}  // namespace

namespace PrivateFolder {

std::optional<std::string> problemWith(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return std::nullopt;
    return AtomicFile::errorText("couldn't look at", path);
  }
  if (S_ISLNK(info.st_mode)) return path + " is a symbolic link";
  return problemWithInfo(info, path, [&] { return ::chmod(path.c_str(), kFolderMode) == 0; });
}

Opened open(const std::string& path, bool create) {
  if (create) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 && errno == ENOENT) {
      if (auto error = AtomicFile::makeDirectories(path, kFolderMode)) return {-1, *error};
    }
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ELOOP || errno == ENOTDIR) {
      struct stat info {};
      bool link = ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
      return {-1, path + (link ? " is a symbolic link" : " is not a folder")};
    }
    return {-1, AtomicFile::errorText("couldn't open the folder", path)};
  }
  struct stat info {};
  std::optional<std::string> problem;
  if (::fstat(fd, &info) != 0)
    problem = AtomicFile::errorText("couldn't look at", path);
  else
    problem = problemWithInfo(info, path, [&] { return ::fchmod(fd, kFolderMode) == 0; });
  if (problem) {
    ::close(fd);
    return {-1, *problem};
  }
  return {fd, {}};
}

std::string halomarkFolder() {
  std::string cache = UserDirectories::cacheHome() + "/halomark";
  if (auto runtime = UserDirectories::runtimeDirectory()) {
    std::string folder = *runtime + "/halomark";
    auto problem = problemWith(folder);
    if (!problem) return folder;
    reportOnce(*problem + "; keeping Halomark's state in " + cache + " instead");
  }
  if (auto problem = problemWith(cache)) reportOnce(*problem + "; Halomark's state there is refused");
  return cache;
}

}  // namespace PrivateFolder
