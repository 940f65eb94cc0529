// The welcome window's state: whether this machine's logo can be controlled, and the two start-up
// choices (launch at login, automatic update checks) read from and written to their real sources.
#pragma once

#include <functional>
#include <string>

#include "logo/logo_controller.h"
#include "platform/interfaces/platform.h"
#include "windows/window_services.h"

class WelcomeModel {
 public:
  WelcomeModel(Platform& platform, WindowServices& services, LogoController::Compatibility compatibility);

  // Called after a value changed.
  std::function<void()> onChange;

  LogoController::Compatibility compatibility() const { return compatibility_; }
  bool launchAtLogin() const { return launchAtLogin_; }
  bool autoUpdate() const { return autoUpdate_; }

  // What the compatibility line says; the check mark when supported, a warning otherwise.
  std::string compatibilityText() const;
  // Supported: "Done" and "Show Halomark's Menu"; otherwise "Quit Halomark" and "OK".
  bool isSupported() const { return compatibility_ == LogoController::Compatibility::ok; }

  // A refused change beeps and the value shows the service's real state.
  void setLaunchAtLogin(bool on);
  void setAutoUpdate(bool on);

 private:
  void update(bool& field, bool value);

  Platform& platform_;
  WindowServices& services_;
  LogoController::Compatibility compatibility_;
  bool launchAtLogin_;
  bool autoUpdate_;
};
