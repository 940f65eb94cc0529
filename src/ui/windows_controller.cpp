#include "ui/windows_controller.h"

#include <QCoreApplication>

#include "ui/app_chooser.h"
#include "ui/settings_window.h"
#include "ui/uninstall_dialog.h"
#include "ui/welcome_window.h"
#include "windows/settings_model.h"
#include "windows/welcome_model.h"

WindowsController::WindowsController(AppDelegate& app, Platform& platform, WindowServices& services)
    : app_(app), platform_(platform), services_(services) {}

// The windows go before the models they point into.
WindowsController::~WindowsController() {
  settingsWindow_.reset();
  welcomeWindow_.reset();
}

void WindowsController::showSettings(std::optional<SettingsTab> tab) {
  if (!settingsWindow_) {
    settingsModel_ = std::make_unique<SettingsModel>(app_, platform_, services_);
    SettingsWindow::Actions actions{
        [this](QWidget* parent) { return AppChooser::choose(services_.installedApps, parent); },
        [this](QWidget* parent) {
          UninstallDialog::confirmUninstall(app_, platform_, services_.alertSound, parent);
        }};
    settingsWindow_ = std::make_unique<SettingsWindow>(*settingsModel_, std::move(actions));
  }
  settingsWindow_->present(tab);
}

void WindowsController::refresh() {
  if (settingsWindow_) settingsWindow_->refreshIfVisible();
}

void WindowsController::showWelcome(const Welcome& welcome) {
  if (!welcomeWindow_) {
    welcomeModel_ = std::make_unique<WelcomeModel>(platform_, services_, app_.compatibility());
    welcomeWindow_ = std::make_unique<WelcomeWindow>(
        *welcomeModel_, platform_.scheduler,
        WelcomeWindow::Actions{welcome.showMenu, [] { QCoreApplication::quit(); }}, welcome.appIcon,
        welcome.menuBarIcon);
  }
  welcomeWindow_->present();
}
