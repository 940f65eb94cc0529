// The brightness-table format and the three table keys the platform's service holds.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "formats/plist_value.h"

// Rows of (input, output in nits), ascending by input.
using BrightnessTable = std::vector<std::vector<double>>;

// The largest single-precision number, the input of a table's last row: the service holds that row's
// output for every larger input.
inline constexpr double kFltMax = 3.4028234663852886e38;

inline constexpr const char* kMappingKey = "LEPWMBrightnessNitsMapping";
inline constexpr const char* kMinRestrictionKey = "LEPWMLuxToMinNitsRestrictionMapping";
inline constexpr const char* kMaxRestrictionKey = "LEPWMLuxToMaxNitsRestrictionMapping";
inline constexpr const char* kBacklightModeKey = "LEBacklightMode";
inline constexpr const char* kStateKey = "LEPWMState";

// The canonical order in which the three tables are processed.
inline const std::array<std::string, 3> kTableKeys = {kMappingKey, kMinRestrictionKey, kMaxRestrictionKey};

// A table read from a property list: an array of arrays of numbers. None on any other shape.
std::optional<BrightnessTable> tableFromPlist(const PlistValue& value);
// Rows of real numbers.
PlistValue plistFromTable(const BrightnessTable& table);
