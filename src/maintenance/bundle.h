// Locating the application bundle the running executable belongs to, and its version strings.
#pragma once

#include <optional>
#include <string>

#include "platform/interfaces/platform.h"

namespace Maintenance {

// The bundle's path, or none when the executable lies outside any application bundle.
std::optional<std::string> appBundleURL(Platform& platform);
// The bundle that holds the executable at `executable` (made absolute, links resolved): three
// levels up, when that folder's name ends in ".app".
std::optional<std::string> bundleContaining(const std::string& executable);
// The executable inside a bundle.
std::string executablePath(const std::string& bundlePath);
// A value of the bundle's information dictionary; none when missing or, for the string, not a string.
std::optional<PlistValue> bundleInfoValue(Platform& platform, const std::string& key);
std::optional<std::string> bundleInfoString(Platform& platform, const std::string& key);
std::string shortVersion(Platform& platform);
std::string buildVersion(Platform& platform);
// "Halomark <short version> (<build version>)".
std::string versionLine(Platform& platform);

}  // namespace Maintenance
