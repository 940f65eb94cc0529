// Which package of the system's package manager (dpkg) installed a file.
#pragma once

#include <optional>
#include <string>

namespace PackageOwner {

// The name of the package that owns the file at the absolute `path`, or none when no package
// does or the package database cannot be asked. `query` is the dpkg-query program to run.
std::optional<std::string> of(const std::string& path, const std::string& query = "dpkg-query");

}  // namespace PackageOwner
