#include "prefs/pref_keys.h"

#include <array>

namespace {

using enum PrefType;
using enum PrefReader;

// Read once, at first use: the table holds json values, which are not constant expressions.
const std::array<PrefKeyInfo, 24>& keyTable() {
  static const std::array<PrefKeyInfo, 24> keys = {{
      {PrefKey::setting, "setting", string, "automatic", converted},
      {PrefKey::fixedNits, "fixedNits", real, 150.0, positive},
      {PrefKey::lastOn, "lastOn", string, "automatic", converted},
      {PrefKey::welcomeShown, "welcomeShown", boolean, false, converted},
      {PrefKey::offWhenLocked, "offWhenLocked", boolean, true, booleanOnly},
      {PrefKey::offInLowPowerMode, "offInLowPowerMode", boolean, true, booleanOnly},
      {PrefKey::offOnBattery, "offOnBattery", boolean, false, converted},
      {PrefKey::offBelowPercent, "offBelowPercent", integer, 0, converted},
      {PrefKey::offWithExternalDisplay, "offWithExternalDisplay", boolean, false, converted},
      {PrefKey::quietHoursEnabled, "quietHoursEnabled", boolean, false, converted},
      {PrefKey::quietHoursStartHour, "quietHoursStartHour", integer, 22, hour},
      {PrefKey::quietHoursEndHour, "quietHoursEndHour", integer, 7, hour},
      {PrefKey::quietHoursAction, "quietHoursAction", string, "off", converted},
      {PrefKey::offAppBundleIDs, "offAppBundleIDs", stringArray, PlistValue::array(), converted},
      {PrefKey::offAppsFrontmostOnly, "offAppsFrontmostOnly", boolean, false, converted},
      {PrefKey::signalStyle, "signalStyle", string, "breathing", converted},
      {PrefKey::signalKeepDisplayOn, "signalKeepDisplayOn", boolean, true, booleanOnly},
      {PrefKey::signalTimeoutMinutes, "signalTimeoutMinutes", integer, 10, positive},
      {PrefKey::quitBehavior, "quitBehavior", string, "restore", converted},
      {PrefKey::hotKeyEnabled, "hotKeyEnabled", boolean, true, booleanOnly},
      {PrefKey::ignoreLimits, "ignoreLimits", boolean, true, booleanOnly},
      {PrefKey::appleMapping, "apple.LEPWMBrightnessNitsMapping", table, nullptr, raw},
      {PrefKey::appleMinRestriction, "apple.LEPWMLuxToMinNitsRestrictionMapping", table, nullptr, raw},
      {PrefKey::appleMaxRestriction, "apple.LEPWMLuxToMaxNitsRestrictionMapping", table, nullptr, raw},
  }};
  return keys;
}

}  // namespace

std::span<const PrefKeyInfo> prefKeyTable() { return keyTable(); }

const PrefKeyInfo& prefKeyInfo(PrefKey key) { return keyTable()[static_cast<std::size_t>(key)]; }
