#include "platform/linux_services/files_linux.h"

#include <sys/stat.h>

#include "platform/linux_utilities/atomic_file.h"

Failure LinuxFiles::writeAtomically(const std::string& path, const std::string& bytes) {
  auto target = AtomicFile::linkTarget(path);
  if (!target) return "couldn't write " + path + ": too many levels of symbolic links";
  std::optional<mode_t> mode;
  struct stat existing {};
  if (::stat(target->c_str(), &existing) == 0) mode = existing.st_mode & 07777;
  return AtomicFile::replace(*target, bytes, mode);
}
