#include "platform/devices/emulated/emulated_logo_state.h"

#include <cmath>
#include <vector>

#include "formats/brightness_table.h"
#include "platform/devices/logo_model/logo_service_model.h"

namespace {

double number(const PlistDictionary& state, const char* key) {
  auto found = state.find(key);
  if (found == state.end() || !found->second.is_number()) return 0;
  double value = found->second.get<double>();
  return std::isfinite(value) ? value : 0;
}

}  // namespace

namespace EmulatedLogoState {

PlistDictionary initial() {
  auto table = [](std::vector<std::vector<double>> rows) { return plistFromTable(rows); };
  return {
      {kMappingKey, table({{0, 0},
                           {0.1, 10},
                           {20, 15},
                           {50, 40},
                           {100, 90},
                           {200, 180},
                           {400, 420},
                           {800, 1000},
                           {kFltMax, 1000}})},
      {kMinRestrictionKey,
       table({{0, 10}, {100, 60}, {400, 200}, {1000, 500}, {3000, 1000}, {kFltMax, 1000}})},
      {kMaxRestrictionKey, table({{0, 250}, {50, 500}, {200, 1000}, {kFltMax, 1000}})},
      {kBacklightModeKey, 2},
      {kMultiplier, 1.0},
      {kDisplayLevel, LogoServiceModel::kDefaultDisplayLevel},
      {kDisplayMaxNits, LogoServiceModel::kDefaultPanelPeakNits},
      {kAmbientLux, LogoServiceModel::kDefaultAmbientLux},
      {kModeStuck, false},
  };
}

double displayNits(const PlistDictionary& state) {
  return number(state, kDisplayLevel) * number(state, kDisplayMaxNits);
}

PlistDictionary pwmState(const PlistDictionary& state) {
  PlistDictionary result;
  auto multiplier = state.find(kMultiplier);
  if (multiplier != state.end() && multiplier->second.is_number() &&
      std::isfinite(multiplier->second.get<double>())) {
    result[kMultiplier] = multiplier->second.get<double>();
  }
  result["FinalNits"] = LogoServiceModel::finalNits(state, displayNits(state), number(state, kAmbientLux));
  return result;
}

}  // namespace EmulatedLogoState
