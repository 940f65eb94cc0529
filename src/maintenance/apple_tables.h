// The platform's own brightness tables: the copies saved before the first change, and giving the
// logo back to the platform's behaviour.
#pragma once

#include <string>

#include "formats/brightness_table.h"
#include "logo/logo_controller.h"
#include "prefs/prefs.h"

namespace Maintenance {

// The saved copy of the platform's table when usable (more than three rows), else the default.
BrightnessTable appleTable(const std::string& key, const Prefs& prefs);
// Saves the installed tables once, before the first change; an existing entry is never replaced.
void captureAppleTables(LogoController& logo, Prefs& prefs);
// Writes the platform's tables and the table-driven mode, nudges the display, then hands the logo
// back to whoever drove it before.
void restoreAppleBehavior(LogoController& logo, const Prefs& prefs);

}  // namespace Maintenance
