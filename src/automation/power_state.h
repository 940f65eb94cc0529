// A snapshot of the machine's condition that the automation rules look at, and the sampling
// operations that fill it. Every consumer samples afresh; nothing is cached.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/interfaces/platform.h"

namespace Power {

struct State {
  bool onBattery = false;
  std::optional<std::int64_t> percent;
  bool lowPowerMode = false;
  bool screenLocked = false;
  bool externalDisplayConnected = false;
  std::map<std::string, std::string> runningApps;  // identifier -> display name
  std::optional<std::string> frontmostBundleID;
};

// Samples every field; platform failures fold into the defaults above. Without `applications`
// the running and frontmost applications are left empty: listing them is by far the dearest part,
// and only an application rule reads them.
State current(Platform& platform, bool applications = true);
bool screenLocked(Platform& platform);
// At least two displays online and one of them not built in.
bool hasExternalDisplay(Platform& platform);
// The installed application's name, else the last dot-separated piece of the identifier.
std::string appDisplayName(const std::string& bundleIdentifier, Platform& platform);

}  // namespace Power
