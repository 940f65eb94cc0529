// Small readers for sysfs attribute files: one trimmed line, or an integer.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace Sysfs {

// The file's first line without surrounding white space; none when it cannot be read.
std::optional<std::string> readLine(const std::filesystem::path& file);
std::optional<long long> readInteger(const std::filesystem::path& file);

}  // namespace Sysfs
