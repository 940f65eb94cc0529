#include "platform/linux_utilities/desktop_entries.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <system_error>

#include "platform/linux_utilities/sysfs_read.h"
#include "platform/linux_utilities/user_directories.h"

namespace fs = std::filesystem;

namespace {

struct Entry {
  std::map<std::string, std::string> values;  // keys of the [Desktop Entry] group
};

std::optional<Entry> readEntry(const std::string& file) {
  std::ifstream in(file);
  if (!in) return std::nullopt;
  Entry entry;
  bool inMainGroup = false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inMainGroup = line == "[Desktop Entry]";
      continue;
    }
    auto equals = line.find('=');
    if (!inMainGroup || equals == std::string::npos) continue;
    auto trim = [](std::string s) {
      s.erase(0, s.find_first_not_of(" \t"));
      s.erase(s.find_last_not_of(" \t") + 1);
      return s;
    };
    entry.values.emplace(trim(line.substr(0, equals)), trim(line.substr(equals + 1)));
  }
  return entry;
}

// Locale keys to try, most specific first: lang_COUNTRY@MODIFIER, lang_COUNTRY, lang@MODIFIER, lang.
std::vector<std::string> localeKeys() {
  std::string locale;
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) {
      locale = value;
      break;
    }
  }
  std::string modifier;
  if (auto at = locale.find('@'); at != std::string::npos) {
    modifier = locale.substr(at);
    locale.resize(at);
  }
  locale = locale.substr(0, locale.find('.'));
  if (locale.empty() || locale == "C" || locale == "POSIX") return {};
  std::string language = locale.substr(0, locale.find('_'));
  std::vector<std::string> keys;
  if (!modifier.empty()) keys.push_back(locale + modifier);
  keys.push_back(locale);
  if (language != locale) {
    if (!modifier.empty()) keys.push_back(language + modifier);
    keys.push_back(language);
  }
  return keys;
}

bool isFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

}  // namespace

DesktopEntries::DesktopEntries(std::vector<std::string> applicationDirs)
    : applicationDirs_(std::move(applicationDirs)) {}

std::vector<std::string> DesktopEntries::applicationDirsFromEnvironment() {
  std::vector<std::string> dirs;
  dirs.push_back(UserDirectories::dataHome() + "/applications");
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::istringstream list((dataDirs && *dataDirs) ? dataDirs : "/usr/local/share:/usr/share");
  std::string dir;
  while (std::getline(list, dir, ':')) {
    if (!dir.empty()) dirs.push_back(dir + "/applications");
  }
  return dirs;
}

std::optional<std::string> DesktopEntries::path(const std::string& applicationId) const {
  if (applicationId.empty() || applicationId.find('/') != std::string::npos) return std::nullopt;
  // "a-b-c" may be "a-b-c.desktop", "a/b-c.desktop" or "a/b/c.desktop".
  std::vector<std::string> candidates{applicationId};
  std::string nested = applicationId;
  for (auto dash = nested.find('-'); dash != std::string::npos; dash = nested.find('-', dash + 1)) {
    nested[dash] = '/';
    candidates.push_back(nested);
  }
  for (const auto& dir : applicationDirs_) {
    for (const auto& candidate : candidates) {
      fs::path file = fs::path(dir) / (candidate + ".desktop");
      if (!isFile(file)) continue;
      auto entry = readEntry(file.string());
      // A user's hidden copy removes the application from view.
      if (entry && entry->values["Hidden"] == "true") return std::nullopt;
      return file.string();
    }
  }
  return std::nullopt;
}

std::optional<std::string> DesktopEntries::name(const std::string& desktopFile) {
  auto entry = readEntry(desktopFile);
  if (!entry) return std::nullopt;
  for (const auto& key : localeKeys()) {
    auto found = entry->values.find("Name[" + key + "]");
    if (found != entry->values.end() && !found->second.empty()) return found->second;
  }
  auto plain = entry->values.find("Name");
  if (plain == entry->values.end() || plain->second.empty()) return std::nullopt;
  return plain->second;
}

std::optional<std::string> DesktopEntries::value(const std::string& desktopFile, const std::string& key) {
  auto entry = readEntry(desktopFile);
  if (!entry) return std::nullopt;
  auto found = entry->values.find(key);
  if (found == entry->values.end()) return std::nullopt;
  return found->second;
}

std::vector<std::pair<std::string, std::string>> DesktopEntries::all() const {
  std::vector<std::pair<std::string, std::string>> found;
  std::set<std::string> seen;
  for (const auto& dir : applicationDirs_) {
    for (const auto& file : Sysfs::entriesBelow(dir)) {
      if (!isFile(file) || file.extension() != ".desktop") continue;
      auto id = idFor(file.string());
      if (id && seen.insert(*id).second) found.emplace_back(*id, file.string());
    }
  }
  return found;
}

std::optional<std::string> DesktopEntries::idFor(const std::string& desktopFile) const {
  const std::string suffix = ".desktop";
  fs::path file = fs::path(desktopFile).lexically_normal();
  std::string name = file.filename().string();
  if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return std::nullopt;
  std::string id = name;
  for (const auto& dir : applicationDirs_) {
    auto relative = file.lexically_relative(fs::path(dir).lexically_normal());
    if (relative.empty() || *relative.begin() == "..") continue;
    id = relative.generic_string();
    std::replace(id.begin(), id.end(), '/', '-');
    break;
  }
  id.resize(id.size() - suffix.size());
  return id;
}

std::string DesktopEntries::displayName(const std::string& file) {
  if (auto entryName = name(file)) return *entryName;
  std::string base = fs::path(file).filename().string();
  const std::string suffix = ".desktop";
  if (base.size() > suffix.size() && base.compare(base.size() - suffix.size(), suffix.size(), suffix) == 0) {
    base.resize(base.size() - suffix.size());
  }
  return base;
}
