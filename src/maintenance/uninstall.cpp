#include "maintenance/uninstall.h"

#include <variant>

#include "formats/app_identifier.h"
#include "maintenance/apple_tables.h"

namespace {

void removeLoginItem(Platform& platform, std::vector<std::string>& errors) {
  // Only the application itself registers a login item; a copy of the executable elsewhere has none.
  if (platform.bundles.mainBundleIdentifier() != kAppIdentifier) return;
  if (!platform.loginItems.isEnabled()) return;
  if (auto failure = platform.loginItems.disable()) errors.push_back("Launch at Login: " + *failure);
}

void removePreferences(Prefs& prefs) {
  for (const char* domain : {kAppIdentifier, kLegacyIdentifier1, kLegacyIdentifier2}) {
    prefs.domains().removeDomain(domain);
  }
  prefs.synchronize();
}

void moveBundleToTrash(const std::string& appBundle, Platform& platform,
                       Maintenance::UninstallResult& result) {
  auto outcome = platform.trash.moveToTrash(appBundle);
  if (auto* trashed = std::get_if<Trashed>(&outcome)) {
    result.trashedApp = trashed->location;
  } else {
    result.errors.push_back("Moving Halomark to the Trash: " + std::get<TrashFailure>(outcome).description);
  }
}

}  // namespace

namespace Maintenance {

void resetPreferences(Prefs& prefs) {
  prefs.store(Prefs::Changes().setting(Setting::automatic()).set(PrefKeys::ignoreLimits, true));
}

void resetToApple(LogoController& logo, Prefs& prefs) {
  resetPreferences(prefs);
  restoreAppleBehavior(logo, prefs);
}

UninstallResult uninstall(const std::string& appBundle, LogoController& logo, Prefs& prefs,
                          Platform& platform, const CommandLinkLocations& linkLocations) {
  UninstallResult result;
  if (logo.isAvailable()) restoreAppleBehavior(logo, prefs);
  removeLoginItem(platform, result.errors);
  auto links = removeCommandLinks(appBundle, linkLocations);
  result.removedLinks = std::move(links.removed);
  result.failedLinks = std::move(links.failed);
  removePreferences(prefs);
  result.installedByPackage = platform.bundles.installingPackage(appBundle);
  if (!result.installedByPackage) moveBundleToTrash(appBundle, platform, result);
  for (auto& failure : platform.desktop.remove()) result.errors.push_back(std::move(failure));
  return result;
}

UninstallResult uninstall(const std::string& appBundle, LogoController& logo, Prefs& prefs,
                          Platform& platform) {
  return uninstall(appBundle, logo, prefs, platform, commandLinkLocations(platform.process.homeDirectory()));
}

}  // namespace Maintenance
