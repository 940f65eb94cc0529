// The windows' services on a Linux desktop, assembled in one place for the shell (and the bench).
#pragma once

#include <functional>

#include "platform/interfaces/platform.h"
#include "platform/linux_services/installed_applications_linux.h"
#include "ui/desktop_feedback_qt.h"
#include "updates/updater.h"
#include "windows/window_services.h"

struct DesktopWindowServices {
  // `updateHotKey` makes the application's hot key follow the stored flag; `updater` is the
  // application's updater, whose automatic-check flag the windows show.
  DesktopWindowServices(Updater& updater, std::function<void()> updateHotKey)
      : services{updater, clipboard, alertSound, installedApps, std::move(updateHotKey)} {}
  DesktopWindowServices(const DesktopWindowServices&) = delete;
  DesktopWindowServices& operator=(const DesktopWindowServices&) = delete;

  QtClipboard clipboard;
  QtAlertSound alertSound;
  LinuxInstalledApplications installedApps;
  WindowServices services;
};
