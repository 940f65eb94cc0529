// Power sources: which one provides power now, and each source's description.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/plist_value.h"

// One sampling of the power sources. Descriptions use the keys "Type" ("InternalBattery" for the
// machine's own battery), "Current Capacity" and "Max Capacity" (integers).
struct PowerSourcesSnapshot {
  // "AC Power" or "Battery Power"; none when unknown.
  std::optional<std::string> providingSourceType;
  // Each element should be a dictionary; anything else is skipped by the reader.
  std::vector<PlistValue> sources;
};

class PowerSources {
 public:
  virtual ~PowerSources() = default;
  // None when the power-source service is missing.
  virtual std::optional<PowerSourcesSnapshot> snapshot() = 0;
  virtual bool lowPowerModeEnabled() = 0;
};
