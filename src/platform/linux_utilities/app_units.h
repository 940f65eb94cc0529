// Desktop application IDs from the systemd units that desktops start applications in:
// app[-<launcher>]-<id>[@<random>].service and app[-<launcher>]-<id>-<random>.scope.
#pragma once

#include <optional>
#include <string>

namespace AppUnits {

// The application ID a unit name stands for; none for any other unit.
std::optional<std::string> appIdFromUnit(const std::string& unitName);
// The application ID of the innermost app unit in a /proc/<pid>/cgroup file's contents.
std::optional<std::string> appIdFromCgroup(const std::string& cgroupContents);

}  // namespace AppUnits
