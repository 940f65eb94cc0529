// Small readers for the kernel's files under /sys and /proc, and for any folder the system or the user
// fills: a folder's entries, the whole file, one trimmed line, or an integer. They never throw: such a
// file can vanish or fail to read at any moment (a process that exits, a device that goes away, a
// failing disk), and that only means there is nothing to read. Files are opened without blocking, so
// a named pipe in a file's place cannot stall the caller.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Sysfs {

// The paths in `directory`, sorted; whatever could be listed when listing fails part way.
std::vector<std::filesystem::path> entries(const std::filesystem::path& directory);
// The entries of `directory` and of the folders in it, to `depth` levels; folders reached through a
// symbolic link are listed but not entered, so a link loop ends nowhere.
std::vector<std::filesystem::path> entriesBelow(const std::filesystem::path& directory, int depth = 16);
// The file's bytes, at most `limit` of them; none when it cannot be opened or read.
std::optional<std::string> readFile(const std::filesystem::path& file, std::size_t limit = 1 << 20);
// The file's first line without surrounding white space; none when it cannot be read.
std::optional<std::string> readLine(const std::filesystem::path& file);
std::optional<long long> readInteger(const std::filesystem::path& file);
// A variable of a NUL-separated environment, as /proc/<pid>/environ holds it.
std::optional<std::string> environmentValue(const std::string& environment, const std::string& name);

}  // namespace Sysfs
