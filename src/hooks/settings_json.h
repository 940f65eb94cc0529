// Claude Code's settings as JSON text: a reader that refuses what could not be written back without
// changing it, and the pretty-printed, key-sorted form the editor writes.
#pragma once

#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

namespace ClaudeHook {

// Deep enough for any real settings file, shallow enough that the recursive writer, copies and
// comparisons of the JSON library never exhaust the stack.
inline constexpr std::size_t kMaxSettingsDepth = 512;

// Parses the settings file's bytes (`path` only names the file in errors). Text that is not JSON
// throws PlatformError with the parser's description; JSON whose rewrite would alter a value (a
// number with more digits than a double keeps, one that underflows to zero) or that is nested too
// deeply to handle safely throws HookError.
nlohmann::json parseSettings(const std::string& bytes, const std::string& path);

// Two-space indentation, keys in byte order, slashes and non-ASCII text as they are, and a final
// line feed. A string that is not UTF-8 throws PlatformError.
std::string serializeSettings(const nlohmann::json& settings, const std::string& path);

}  // namespace ClaudeHook
