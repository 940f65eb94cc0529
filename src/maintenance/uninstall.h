// Undoing what Halomark does: resetting the logo to the platform's behaviour, and the whole
// uninstall (logo, login item, command links, preferences, the bundle, the desktop registration).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "logo/logo_controller.h"
#include "maintenance/command_links.h"
#include "platform/interfaces/platform.h"
#include "prefs/prefs.h"

namespace Maintenance {

struct UninstallResult {
  // Where the bundle now lies in the Trash, when it was moved and the platform said where.
  std::optional<std::string> trashedApp;
  std::vector<std::string> removedLinks;
  // Links into the bundle that could not be deleted.
  std::vector<std::string> failedLinks;
  // One message per failed step, in the order the steps ran.
  std::vector<std::string> errors;
  // The system package that holds the bundle: its package manager removes the program, so the
  // bundle stays where it is.
  std::optional<std::string> installedByPackage;
};

// Stores the automatic setting (and as the last on setting) and allows the full brightness range.
void resetPreferences(Prefs& prefs);
// resetPreferences, then gives the logo back to the platform. The caller runs the apply loop
// afterwards.
void resetToApple(LogoController& logo, Prefs& prefs);

// Removes everything without asking. Every step runs, whatever the earlier ones did. A bundle that
// a system package installed is left to the package manager.
UninstallResult uninstall(const std::string& appBundle, LogoController& logo, Prefs& prefs,
                          Platform& platform, const CommandLinkLocations& linkLocations);
// The same, cleaning the command links at their usual locations.
UninstallResult uninstall(const std::string& appBundle, LogoController& logo, Prefs& prefs,
                          Platform& platform);

}  // namespace Maintenance
