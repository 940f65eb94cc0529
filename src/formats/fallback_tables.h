// Halomark's own brightness tables: what the product restores when the platform's saved tables are
// gone, and what a logo light that holds no tables of its own starts from.
#pragma once

#include <map>
#include <string>

#include "formats/brightness_table.h"

// The three tables by key (kMappingKey, kMinRestrictionKey, kMaxRestrictionKey).
const std::map<std::string, BrightnessTable>& fallbackTables();
