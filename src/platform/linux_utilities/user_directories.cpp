#include "platform/linux_utilities/user_directories.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

std::optional<std::string> absoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (!value || value[0] != '/') return std::nullopt;
  return std::string(value);
}

std::string passwordHome() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir) {
    return found->pw_dir;
  }
  return "/";
}

}  // namespace

namespace UserDirectories {

std::string home() {
  const char* value = std::getenv("HOME");
  if (value && value[0] != '\0') return value;
  return passwordHome();
}

std::string configHome() { return absoluteVariable("XDG_CONFIG_HOME").value_or(home() + "/.config"); }

std::string dataHome() { return absoluteVariable("XDG_DATA_HOME").value_or(home() + "/.local/share"); }

std::vector<std::string> dataDirectories() {
  std::vector<std::string> directories;
  const char* value = std::getenv("XDG_DATA_DIRS");
  std::string list = value ? value : "";
  for (std::size_t start = 0; start <= list.size();) {
    std::size_t end = std::min(list.find(':', start), list.size());
    if (end > start && list[start] == '/') directories.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  if (directories.empty()) return {"/usr/local/share", "/usr/share"};
  return directories;
}

std::string cacheHome() { return absoluteVariable("XDG_CACHE_HOME").value_or(home() + "/.cache"); }

std::optional<std::string> runtimeDirectory() { return absoluteVariable("XDG_RUNTIME_DIR"); }

}  // namespace UserDirectories
