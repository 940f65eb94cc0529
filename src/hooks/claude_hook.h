// Installs and removes the hooks that make Claude Code start and stop the attention signal, in
// Claude Code's user settings file. Everything in the file that is not one of these hooks is kept,
// a backup is left beside the file before each write, and a file that cannot be read faithfully is
// never overwritten. Failures throw HookError or PlatformError (hooks/hook_error.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "hooks/hook_error.h"
#include "platform/interfaces/files.h"

namespace ClaudeHook {

// A hook is Halomark's own when its command contains one of these: the tail of the quoted executable
// path before "signal", for the current executable name and for the earlier product's.
inline constexpr std::string_view kMarker = "Contents/MacOS/Halomark\" signal";
inline constexpr std::string_view kLegacyMarker = "Contents/MacOS/Orrin\" signal";

// Settings files larger than this are refused, never rewritten: Claude Code's own stay far below,
// and reading a huge one whole would take seconds and hundreds of megabytes.
inline constexpr std::size_t kMaxSettingsBytes = 4 << 20;

// `home` + "/.claude/settings.json".
std::string settingsPath(const std::string& home);
// The settings file's path + ".halomark-backup".
std::string backupPath(const std::string& settingsPath);

// The settings object; an empty one when there is no file or it is empty.
nlohmann::json load(const std::string& home);
// Writes `settings` atomically, after copying the existing file to the backup path. The directory
// is created when missing.
void save(const nlohmann::json& settings, Files& files, const std::string& home);

// One event's groups without the hooks whose command contains a marker; a group left with no hook
// is dropped. `value` is the event's value, null when absent; anything that is not an array gives an
// empty array. Entries that are not hook groups are not Halomark's and are kept as they are.
nlohmann::json withoutManagedHooks(const nlohmann::json& value, const std::vector<std::string_view>& markers);

// The command line Claude Code runs: the bundle's executable in double quotes, then
// "signal " + `arguments` + " --from claude-code".
std::string command(const std::string& arguments, const std::string& bundlePath);

// Puts one current hook on `Notification` (start) and one on `UserPromptSubmit` (stop), replacing
// hooks of this and earlier versions, and drops earlier versions' hooks from `Stop`.
void install(const std::string& bundlePath, Files& files, const std::string& home);
// Takes Halomark's hooks out again. Writes nothing when there is nothing to take out.
void remove(Files& files, const std::string& home);
// Whether a current hook sits on `Notification`. Never fails: an unreadable file reads as false.
bool isInstalled(const std::string& home);

}  // namespace ClaudeHook
