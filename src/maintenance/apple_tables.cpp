#include "maintenance/apple_tables.h"

namespace {

std::string storedKey(const std::string& key) { return "apple." + key; }

}  // namespace

namespace Maintenance {

BrightnessTable appleTable(const std::string& key, const Prefs& prefs) {
  if (auto stored = prefs.object(storedKey(key))) {
    auto table = tableFromPlist(*stored);
    if (table && table->size() > 3) return *table;
  }
  return LogoController::fallbackDefaults().at(key);
}

void captureAppleTables(LogoController& logo, Prefs& prefs) {
  for (const auto& key : kTableKeys) {
    auto existing = prefs.object(storedKey(key));
    if (existing && existing->is_array()) continue;
    auto live = logo.table(key);
    const BrightnessTable& chosen =
        (live && live->size() > 3) ? *live : LogoController::fallbackDefaults().at(key);
    prefs.set(storedKey(key), plistFromTable(chosen));
  }
}

void restoreAppleBehavior(LogoController& logo, const Prefs& prefs) {
  for (const auto& key : kTableKeys) logo.setTable(key, appleTable(key, prefs));
  logo.setProperty(2, kBacklightModeKey);
  logo.nudgeDisplayBrightness();
  logo.giveBack();
}

}  // namespace Maintenance
