// Locating the application bundle the running executable belongs to, and its version strings.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace Maintenance {

// The bundle's path, or none when the executable lies outside any application bundle.
std::optional<std::string> appBundleURL(Platform& platform);
// The executable inside a bundle.
std::string executablePath(const std::string& bundlePath);
std::string shortVersion(Platform& platform);
std::string buildVersion(Platform& platform);

}  // namespace Maintenance
