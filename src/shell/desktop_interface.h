// The windows of a desktop session wired to the delegate: the welcome window on the first launch
// and the settings window following changes made elsewhere.
#pragma once

#include "app/app_delegate.h"
#include "platform/platform.h"
#include "ui/desktop_window_services.h"
#include "ui/windows_controller.h"

class DesktopInterface {
 public:
  // Call before the delegate launches, so the first launch finds the welcome window.
  DesktopInterface(AppDelegate& app, Platform& platform);
  DesktopInterface(const DesktopInterface&) = delete;
  DesktopInterface& operator=(const DesktopInterface&) = delete;

 private:
  DesktopWindowServices services_;
  WindowsController windows_;
};
