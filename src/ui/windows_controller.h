// The application's settings and welcome windows: each made on first use and kept, hidden when
// closed. The interface shell opens them from the menu and at start-up, and refreshes the settings
// window when the application's state changes.
#pragma once

#include <QIcon>
#include <functional>
#include <memory>
#include <optional>

#include "app/app_delegate.h"
#include "platform/interfaces/platform.h"
#include "windows/settings_tab.h"
#include "windows/window_services.h"

class SettingsModel;
class SettingsWindow;
class WelcomeModel;
class WelcomeWindow;

class WindowsController {
 public:
  struct Welcome {
    QIcon appIcon;
    QIcon menuBarIcon;
    std::function<void()> showMenu;
  };

  WindowsController(AppDelegate& app, Platform& platform, WindowServices& services);
  ~WindowsController();

  // "Settings…" (no tab: an open window keeps its tab) and "Apps & Schedule…" (automation).
  void showSettings(std::optional<SettingsTab> tab = std::nullopt);
  // While the settings window is visible it shows changes made from anywhere.
  void refresh();
  // Opens the welcome window; a second call brings the same window to the front.
  void showWelcome(const Welcome& welcome);

  SettingsWindow* settingsWindow() const { return settingsWindow_.get(); }
  WelcomeWindow* welcomeWindow() const { return welcomeWindow_.get(); }

 private:
  AppDelegate& app_;
  Platform& platform_;
  WindowServices& services_;
  std::unique_ptr<SettingsModel> settingsModel_;
  std::unique_ptr<SettingsWindow> settingsWindow_;
  std::unique_ptr<WelcomeModel> welcomeModel_;
  std::unique_ptr<WelcomeWindow> welcomeWindow_;
};
