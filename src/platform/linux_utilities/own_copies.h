// Other running copies of this process's own executable that run as the application (started
// without arguments) under the same user, with the same runtime folder and home: the last guard
// against a second copy where the instance lock cannot be used and no session bus can be asked.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace OwnCopies {

// The copies that started before this process (the earlier of two started in the same tick is the
// one with the lower id), so that of copies started together exactly one stays. None when the
// process table cannot be read.
std::optional<std::vector<long>> startedEarlier(const std::filesystem::path& procRoot = "/proc");
// Every such copy but this process; none when the process table cannot be read.
std::optional<std::vector<long>> all(const std::filesystem::path& procRoot = "/proc");

}  // namespace OwnCopies
