// Every key of the preference domain in one table: its name, the type stored under it, the value a
// reader gets when it is missing or unusable, and the rule that reads it. Code names a key by its
// typed constant in PrefKeys, so a key cannot be misspelt or written with a value of another type.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/plist_value.h"

enum class PrefKey {
  setting,
  fixedNits,
  lastOn,
  welcomeShown,
  offWhenLocked,
  offInLowPowerMode,
  offOnBattery,
  offBelowPercent,
  offWithExternalDisplay,
  quietHoursEnabled,
  quietHoursStartHour,
  quietHoursEndHour,
  quietHoursAction,
  offAppBundleIDs,
  offAppsFrontmostOnly,
  signalStyle,
  signalKeepDisplayOn,
  signalTimeoutMinutes,
  quitBehavior,
  hotKeyEnabled,
  ignoreLimits,
  logoLight,
  panelPeakNits,
  appleMapping,
  appleMinRestriction,
  appleMaxRestriction,
};

// What is stored under a key.
enum class PrefType { boolean, integer, real, string, stringArray, table };

// How a stored value becomes the value a reader gets.
enum class PrefReader {
  // The domain's typed read, converting between numbers and booleans; missing gives the default.
  converted,
  // Only a stored boolean counts; missing or any other kind gives the default.
  booleanOnly,
  // The default while nothing is stored; else the stored integer clamped into 0...23.
  hour,
  // The stored number when above zero (at least 1 for an integer); else the default.
  positive,
  // The stored object as it is (checked by its user); none when missing.
  raw,
};

// Whether the logo shows a change of the key. A change of such a key, by any process, runs the apply
// loop; the others (the attention signal's manner, what happens at quit, the hot key, the welcome)
// are read where they are used and never make the logo be written again.
enum class PrefEffect { logo, none };

struct PrefKeyInfo {
  PrefKey key;
  const char* name;
  PrefType type;
  PlistValue defaultValue;  // null for raw keys, which have none
  PrefReader reader;
  PrefEffect effect;
};

// The whole table, in the order of PrefKey.
std::span<const PrefKeyInfo> prefKeyTable();
const PrefKeyInfo& prefKeyInfo(PrefKey key);
// The keys of `domain` whose changes the logo shows, as stored: two domains whose logo keys are
// equal make the apply loop write the same.
PlistDictionary logoKeys(const PlistDictionary& domain);

// A key together with the C++ type its accessors read and write.
template <typename T>
struct TypedPrefKey {
  PrefKey key;
};

namespace PrefKeys {

inline constexpr TypedPrefKey<std::string> setting{PrefKey::setting};
inline constexpr TypedPrefKey<double> fixedNits{PrefKey::fixedNits};
inline constexpr TypedPrefKey<std::string> lastOn{PrefKey::lastOn};
inline constexpr TypedPrefKey<bool> welcomeShown{PrefKey::welcomeShown};
inline constexpr TypedPrefKey<bool> offWhenLocked{PrefKey::offWhenLocked};
inline constexpr TypedPrefKey<bool> offInLowPowerMode{PrefKey::offInLowPowerMode};
inline constexpr TypedPrefKey<bool> offOnBattery{PrefKey::offOnBattery};
inline constexpr TypedPrefKey<long long> offBelowPercent{PrefKey::offBelowPercent};
inline constexpr TypedPrefKey<bool> offWithExternalDisplay{PrefKey::offWithExternalDisplay};
inline constexpr TypedPrefKey<bool> quietHoursEnabled{PrefKey::quietHoursEnabled};
inline constexpr TypedPrefKey<long long> quietHoursStartHour{PrefKey::quietHoursStartHour};
inline constexpr TypedPrefKey<long long> quietHoursEndHour{PrefKey::quietHoursEndHour};
inline constexpr TypedPrefKey<std::string> quietHoursAction{PrefKey::quietHoursAction};
inline constexpr TypedPrefKey<std::vector<std::string>> offAppBundleIDs{PrefKey::offAppBundleIDs};
inline constexpr TypedPrefKey<bool> offAppsFrontmostOnly{PrefKey::offAppsFrontmostOnly};
inline constexpr TypedPrefKey<std::string> signalStyle{PrefKey::signalStyle};
inline constexpr TypedPrefKey<bool> signalKeepDisplayOn{PrefKey::signalKeepDisplayOn};
inline constexpr TypedPrefKey<long long> signalTimeoutMinutes{PrefKey::signalTimeoutMinutes};
inline constexpr TypedPrefKey<std::string> quitBehavior{PrefKey::quitBehavior};
inline constexpr TypedPrefKey<bool> hotKeyEnabled{PrefKey::hotKeyEnabled};
inline constexpr TypedPrefKey<bool> ignoreLimits{PrefKey::ignoreLimits};
// The platform's own brightness tables, saved once so they can be given back.
inline constexpr TypedPrefKey<std::optional<PlistValue>> appleMapping{PrefKey::appleMapping};
inline constexpr TypedPrefKey<std::optional<PlistValue>> appleMinRestriction{PrefKey::appleMinRestriction};
inline constexpr TypedPrefKey<std::optional<PlistValue>> appleMaxRestriction{PrefKey::appleMaxRestriction};

// The LED driven as the logo where no emulated device exists; empty for the first logo light.
inline constexpr TypedPrefKey<std::string> logoLight{PrefKey::logoLight};
// What the built-in panel shows at full backlight, for turning the backlight level into nits.
inline constexpr TypedPrefKey<double> panelPeakNits{PrefKey::panelPeakNits};

}  // namespace PrefKeys
