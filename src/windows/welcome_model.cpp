#include "windows/welcome_model.h"

#include "windows/login_item.h"

WelcomeModel::WelcomeModel(Platform& platform, WindowServices& services,
                           LogoController::Compatibility compatibility)
    : platform_(platform),
      services_(services),
      compatibility_(compatibility),
      launchAtLogin_(platform.loginItems.isEnabled()),
      autoUpdate_(services.updater.automaticallyChecksForUpdates()) {}

std::string WelcomeModel::compatibilityText() const {
  switch (compatibility_) {
    case LogoController::Compatibility::noLogoHardware:
      return "This Mac doesn't have an illuminated logo, so Halomark has nothing to control here.";
    case LogoController::Compatibility::controlsMissing:
      return "Halomark can't reach the logo's controls on this version of macOS. An update may fix this, and "
             "Halomark checks for updates automatically.";
    case LogoController::Compatibility::ok: break;
  }
  return "Your Mac's logo is supported.";
}

void WelcomeModel::update(bool& field, bool value) {
  if (field == value) return;
  field = value;
  if (onChange) onChange();
}

void WelcomeModel::setLaunchAtLogin(bool on) {
  if (!changeLoginItem(platform_, on)) services_.alertSound.beep();
  update(launchAtLogin_, platform_.loginItems.isEnabled());
}

void WelcomeModel::setAutoUpdate(bool on) {
  services_.updater.setAutomaticallyChecksForUpdates(on);
  update(autoUpdate_, on);
}
