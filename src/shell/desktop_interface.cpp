#include "shell/desktop_interface.h"

#include <QApplication>

#include "ui/window_icons.h"

DesktopInterface::DesktopInterface(AppDelegate& app, Platform& platform)
    : services_(platform, {}), windows_(app, platform, services_.services) {
  // The application lives on after its windows close.
  QApplication::setQuitOnLastWindowClosed(false);
  app.setWelcomeHandler([this] {
    QIcon crescent = WindowIcons::themed("weather-clear-night", WindowIcons::Drawn::moonAndStars);
    windows_.showWelcome({crescent, crescent, {}});
  });
  app.setRefreshUIHandler([this] { windows_.refresh(); });
}
