#include "hooks/claude_hook.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "hooks/settings_json.h"
#include "maintenance/bundle.h"

namespace ClaudeHook {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// Cleaned on install and remove, in this order. `Stop` held the hooks of earlier versions.
constexpr std::array<const char*, 3> kCleanedEvents{"Stop", "Notification", "UserPromptSubmit"};

struct InstalledEvent {
  const char* name;
  const char* arguments;
};
constexpr std::array<InstalledEvent, 2> kInstalledEvents{
    {{"Notification", "start"}, {"UserPromptSubmit", "stop"}}};

const std::vector<std::string_view>& allMarkers() {
  static const std::vector<std::string_view> markers{kMarker, kLegacyMarker};
  return markers;
}

std::string describe(int code) { return std::generic_category().message(code); }

// The file's bytes, or none when there is no file there.
std::optional<std::string> readFile(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    std::error_code code(errno, std::generic_category());
    if (code == std::errc::no_such_file_or_directory || code == std::errc::not_a_directory)
      return std::nullopt;
    throw PlatformError("couldn't read " + path + ": " + code.message());
  }
  std::string bytes;
  std::array<char, 65536> buffer;
  std::size_t count;
  while ((count = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0)
    bytes.append(buffer.data(), count);
  if (std::ferror(file.get())) throw PlatformError("couldn't read " + path + ": " + describe(errno));
  return bytes;
}

bool isManaged(const Json& hook, const std::vector<std::string_view>& markers) {
  if (!hook.is_object()) return false;
  auto command = hook.find("command");
  if (command == hook.end() || !command->is_string()) return false;
  const auto& text = command->get_ref<const std::string&>();
  for (auto marker : markers) {
    if (text.find(marker) != std::string::npos) return true;
  }
  return false;
}

// Takes Halomark's hooks out of the cleaned events. A value that is not an array holds none of them
// and stays as it is.
void cleanEvents(Json& hooks) {
  for (const char* event : kCleanedEvents) {
    auto value = hooks.find(event);
    if (value == hooks.end() || !value->is_array()) continue;
    Json kept = withoutManagedHooks(*value, allMarkers());
    if (kept.empty()) {
      hooks.erase(event);
    } else {
      *value = std::move(kept);
    }
  }
}

// The settings for looking at only. Values nested too deeply for the editor are left out rather
// than refused: the hooks sit near the top, and copying such values could exhaust the stack.
Json readShallow(const std::string& bytes) {
  auto shallow = [](int depth, Json::parse_event_t event, Json&) {
    bool opens = event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
    return !opens || static_cast<std::size_t>(depth) < kMaxSettingsDepth;
  };
  return Json::parse(bytes, shallow, false);
}

// Inside double quotes the shell still gives these characters a meaning; a backslash keeps them
// literal so that any folder name reaches the hook as it is.
std::string quotedForShell(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '$' || c == '`' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string settingsPath(const std::string& home) {
  return (fs::path(home) / ".claude" / "settings.json").string();
}

std::string backupPath(const std::string& settingsPath) { return settingsPath + ".halomark-backup"; }

Json load(const std::string& home) {
  std::string path = settingsPath(home);
  auto bytes = readFile(path);
  if (!bytes || bytes->empty()) return Json::object();
  Json settings = parseSettings(*bytes, path);
  if (!settings.is_object()) throw HookError::unreadable("it isn't a JSON object");
  return settings;
}

void save(const Json& settings, Files& files, const std::string& home) {
  std::string path = settingsPath(home);
  std::string bytes = serializeSettings(settings, path);

  std::error_code error;
  fs::path directory = fs::path(path).parent_path();
  fs::create_directories(directory, error);
  if (error) throw PlatformError("couldn't create " + directory.string() + ": " + error.message());

  bool exists = fs::exists(path, error);
  if (error) throw PlatformError("couldn't read " + path + ": " + error.message());
  if (exists) {
    // Copying follows a link, so the backup holds the settings themselves.
    std::string backup = backupPath(path);
    fs::remove(backup, error);
    fs::copy_file(path, backup, error);
    if (error) throw PlatformError("couldn't back up " + path + " to " + backup + ": " + error.message());
  }

  // The file service's text already names the file.
  if (auto failure = files.writeAtomically(path, bytes)) throw PlatformError(*failure);
}

Json withoutManagedHooks(const Json& value, const std::vector<std::string_view>& markers) {
  Json result = Json::array();
  if (!value.is_array()) return result;
  for (const auto& group : value) {
    auto hooks = group.is_object() ? group.find("hooks") : group.end();
    bool holdsHookList = group.is_object() && (hooks == group.end() || hooks->is_array());
    if (!holdsHookList) {
      result.push_back(group);
      continue;
    }
    Json kept = Json::array();
    if (hooks != group.end()) {
      for (const auto& hook : *hooks) {
        if (!isManaged(hook, markers)) kept.push_back(hook);
      }
    }
    if (kept.empty()) continue;
    Json cleaned = group;
    cleaned["hooks"] = std::move(kept);
    result.push_back(std::move(cleaned));
  }
  return result;
}

std::string command(const std::string& arguments, const std::string& bundlePath) {
  std::string executable = Maintenance::executablePath(bundlePath);
  return quotedForShell(executable) + " signal " + arguments + " --from claude-code";
}

void install(const std::string& bundlePath, Files& files, const std::string& home) {
  Json settings = load(home);
  auto existing = settings.find("hooks");
  Json hooks = existing != settings.end() && existing->is_object() ? *existing : Json::object();
  cleanEvents(hooks);
  for (const auto& event : kInstalledEvents) {
    auto value = hooks.find(event.name);
    Json groups = withoutManagedHooks(value == hooks.end() ? Json() : *value, allMarkers());
    Json hook = {{"type", "command"}, {"command", command(event.arguments, bundlePath)}};
    groups.push_back({{"hooks", Json::array({hook})}});
    hooks[event.name] = std::move(groups);
  }
  // Installing again over current hooks changes nothing; not writing keeps the backup of the
  // user's own file.
  if (existing != settings.end() && *existing == hooks) return;
  settings["hooks"] = std::move(hooks);
  save(settings, files, home);
}

void remove(Files& files, const std::string& home) {
  Json settings = load(home);
  auto existing = settings.find("hooks");
  if (existing == settings.end() || !existing->is_object()) return;
  Json hooks = *existing;
  cleanEvents(hooks);
  if (hooks == *existing) return;
  if (hooks.empty()) {
    settings.erase("hooks");
  } else {
    *existing = std::move(hooks);
  }
  save(settings, files, home);
}

bool isInstalled(const std::string& home) {
  // Only reading: a file the editor would refuse to rewrite can still say whether hooks are there.
  std::optional<std::string> bytes;
  try {
    bytes = readFile(settingsPath(home));
  } catch (const PlatformError&) {
    return false;
  }
  if (!bytes) return false;
  Json settings = readShallow(*bytes);
  if (!settings.is_object()) return false;
  auto hooks = settings.find("hooks");
  if (hooks == settings.end() || !hooks->is_object()) return false;
  auto notification = hooks->find("Notification");
  if (notification == hooks->end() || !notification->is_array()) return false;
  return withoutManagedHooks(*notification, {kMarker}).size() < notification->size();
}

}  // namespace ClaudeHook
