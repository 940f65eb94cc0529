// The attention signal: pulses the logo in one of three styles until the user comes back, a request
// stops it, or its time limit passes. It owns the logo while it runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "logo/logo_controller.h"
#include "platform/platform.h"
#include "prefs/prefs.h"

class Attention {
 public:
  // `onChange(true)` when a signal starts (or restarts in another style), `onChange(false)` when it stops.
  Attention(LogoController& logo, Prefs prefs, Platform& platform, std::function<void(bool)> onChange);
  ~Attention();

  // A missing style means the stored "signalStyle". The message is stored as given.
  void start(const std::optional<std::string>& message, std::optional<Prefs::SignalStyle> style);
  void stop();

  bool isActive() const { return isActive_; }
  const std::optional<std::string>& message() const { return message_; }

 private:
  bool isActive_ = false;
  std::optional<std::string> message_;
  // The implementation adds its own private members below.
};
