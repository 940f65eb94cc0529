#include "maintenance/apple_tables.h"

namespace {

// Where the platform's table under `key`, one of kTableKeys, is saved.
TypedPrefKey<std::optional<PlistValue>> storedKey(const std::string& key) {
  if (key == kMinRestrictionKey) return PrefKeys::appleMinRestriction;
  if (key == kMaxRestrictionKey) return PrefKeys::appleMaxRestriction;
  return PrefKeys::appleMapping;
}

}  // namespace

namespace Maintenance {

BrightnessTable appleTable(const std::string& key, const Prefs& prefs) {
  if (auto stored = prefs.value(storedKey(key))) {
    auto table = tableFromPlist(*stored);
    if (table && table->size() > 3) return *table;
  }
  return LogoController::fallbackDefaults().at(key);
}

void captureAppleTables(LogoController& logo, Prefs& prefs) {
  for (const auto& key : kTableKeys) {
    auto existing = prefs.value(storedKey(key));
    if (existing && existing->is_array()) continue;
    auto live = logo.table(key);
    const BrightnessTable& chosen =
        (live && live->size() > 3) ? *live : LogoController::fallbackDefaults().at(key);
    prefs.set(storedKey(key), plistFromTable(chosen));
  }
}

void restoreAppleBehavior(LogoController& logo, const Prefs& prefs) {
  for (const auto& key : kTableKeys) logo.setTable(key, appleTable(key, prefs));
  logo.setMode(LogoController::Mode::tableDriven);
  logo.nudgeDisplayBrightness();
}

}  // namespace Maintenance
