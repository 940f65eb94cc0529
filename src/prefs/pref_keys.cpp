#include "prefs/pref_keys.h"

#include <array>

namespace {

using enum PrefType;
using enum PrefReader;
using enum PrefEffect;

// Read once, at first use: the table holds json values, which are not constant expressions.
const std::array<PrefKeyInfo, 26>& keyTable() {
  static const std::array<PrefKeyInfo, 26> keys = {{
      {PrefKey::setting, "setting", string, "automatic", converted, logo},
      {PrefKey::fixedNits, "fixedNits", real, 150.0, positive, logo},
      {PrefKey::lastOn, "lastOn", string, "automatic", converted, logo},
      {PrefKey::welcomeShown, "welcomeShown", boolean, false, converted, none},
      {PrefKey::offWhenLocked, "offWhenLocked", boolean, true, booleanOnly, logo},
      {PrefKey::offInLowPowerMode, "offInLowPowerMode", boolean, true, booleanOnly, logo},
      {PrefKey::offOnBattery, "offOnBattery", boolean, false, converted, logo},
      {PrefKey::offBelowPercent, "offBelowPercent", integer, 0, converted, logo},
      {PrefKey::offWithExternalDisplay, "offWithExternalDisplay", boolean, false, converted, logo},
      {PrefKey::quietHoursEnabled, "quietHoursEnabled", boolean, false, converted, logo},
      {PrefKey::quietHoursStartHour, "quietHoursStartHour", integer, 22, hour, logo},
      {PrefKey::quietHoursEndHour, "quietHoursEndHour", integer, 7, hour, logo},
      {PrefKey::quietHoursAction, "quietHoursAction", string, "off", converted, logo},
      {PrefKey::offAppBundleIDs, "offAppBundleIDs", stringArray, PlistValue::array(), converted, logo},
      {PrefKey::offAppsFrontmostOnly, "offAppsFrontmostOnly", boolean, false, converted, logo},
      {PrefKey::signalStyle, "signalStyle", string, "breathing", converted, none},
      {PrefKey::signalKeepDisplayOn, "signalKeepDisplayOn", boolean, true, booleanOnly, none},
      {PrefKey::signalTimeoutMinutes, "signalTimeoutMinutes", integer, 10, positive, none},
      {PrefKey::quitBehavior, "quitBehavior", string, "restore", converted, none},
      {PrefKey::hotKeyEnabled, "hotKeyEnabled", boolean, true, booleanOnly, none},
      {PrefKey::ignoreLimits, "ignoreLimits", boolean, true, booleanOnly, logo},
      {PrefKey::logoLight, "logoLight", string, "", converted, logo},
      {PrefKey::panelPeakNits, "panelPeakNits", real, 500.0, converted, logo},
      {PrefKey::appleMapping, "apple.LEPWMBrightnessNitsMapping", table, nullptr, raw, logo},
      {PrefKey::appleMinRestriction, "apple.LEPWMLuxToMinNitsRestrictionMapping", table, nullptr, raw, logo},
      {PrefKey::appleMaxRestriction, "apple.LEPWMLuxToMaxNitsRestrictionMapping", table, nullptr, raw, logo},
  }};
  return keys;
}

}  // namespace

std::span<const PrefKeyInfo> prefKeyTable() { return keyTable(); }

const PrefKeyInfo& prefKeyInfo(PrefKey key) { return keyTable()[static_cast<std::size_t>(key)]; }

PlistDictionary logoKeys(const PlistDictionary& domain) {
  PlistDictionary kept;
  for (const auto& info : keyTable()) {
    if (info.effect != PrefEffect::logo) continue;
    if (auto found = domain.find(info.name); found != domain.end()) kept.insert(*found);
  }
  return kept;
}
