// The only gateway to the logo light: reads and writes the brightness tables and the logo mode,
// decides once whether the machine can be controlled, and builds the tables for a brightness.
// Every failure folds into "none" or "false"; nothing here raises.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "formats/brightness_table.h"
#include "formats/fallback_tables.h"
#include "platform/interfaces/platform.h"

class LogoController {
 public:
  enum class Compatibility { ok, noLogoHardware, controlsMissing };
  // The service's logo mode. Halomark writes only `off` and `tableDriven`; the value 1 is read and
  // written back by the compatibility check but has no meaning here.
  enum class Mode : int { off = 0, tableDriven = 2 };

  static constexpr double fltMax = kFltMax;
  static const std::map<std::string, BrightnessTable>& fallbackDefaults() { return fallbackTables(); }
  static BrightnessTable flatMapping(double nits);
  static BrightnessTable flatRestriction(double nits);

  LogoController(BrightnessClient& client, LogoHardware& hardware, DisplayBrightness& displayBrightness,
                 Displays& displays);
  explicit LogoController(Platform& platform);

  bool isAvailable();
  std::optional<BrightnessTable> table(const std::string& key);
  void setTable(const std::string& key, const BrightnessTable& table);
  bool setProperty(const PlistValue& value, const std::string& key);
  std::optional<Mode> mode();
  bool setMode(Mode mode);
  std::optional<double> stateValue(const std::string& member);
  std::optional<DisplayID> builtInDisplay();
  Compatibility checkCompatibility();
  void nudgeDisplayBrightness();
  // Hands the logo back to whoever drove it before Halomark took it.
  void giveBack();

  // `nits` divided by the service's "NitsMultiplier" when that is present and positive.
  double scaled(double nits);

 private:
  bool displayServicesAvailable();
  std::optional<PlistValue> copy(const std::string& key);

  BrightnessClient& client_;
  LogoHardware& hardware_;
  DisplayBrightness& displayBrightness_;
  Displays& displays_;
  std::optional<bool> displayServices_;  // resolved once, failure included
};
