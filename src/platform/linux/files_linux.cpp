#include "platform/linux/files_linux.h"

#include <sys/stat.h>

#include <filesystem>

#include "platform/linux/atomic_file.h"

namespace {

// Follows symbolic links at `path` to the file they finally name (which need not exist yet), so
// that replacing it keeps the links intact.
std::optional<std::filesystem::path> linkTarget(const std::filesystem::path& path) {
  std::filesystem::path current = path;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error))) return current;
    auto next = std::filesystem::read_symlink(current, error);
    if (error) return std::nullopt;
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> LinuxFiles::writeAtomically(const std::string& path, const std::string& bytes) {
  auto target = linkTarget(path);
  if (!target) return "couldn't write " + path + ": too many levels of symbolic links";
  std::optional<mode_t> mode;
  struct stat existing {};
  if (::stat(target->c_str(), &existing) == 0) mode = existing.st_mode & 07777;
  return AtomicFile::replace(target->string(), bytes, mode);
}
