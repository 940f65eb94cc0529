#include "formats/fallback_tables.h"

const std::map<std::string, BrightnessTable>& fallbackTables() {
  static const std::map<std::string, BrightnessTable> tables = {
      {kMappingKey,
       {{0, 0},
        {0.1, 12.5},
        {16.84, 12.5},
        {34.12, 28.62},
        {50, 45.37},
        {69.11, 65.52},
        {140, 150},
        {300, 300},
        {600, 1000},
        {kFltMax, 1000}}},
      {kMinRestrictionKey, {{0, 12.5}, {190, 150}, {560, 300}, {1350, 1000}, {kFltMax, 1000}}},
      {kMaxRestrictionKey, {{0, 180}, {190, 1000}, {kFltMax, 1000}}},
  };
  return tables;
}
