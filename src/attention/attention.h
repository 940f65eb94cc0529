// The attention signal: pulses the logo in one of three styles until the user comes back, a request
// stops it, or its time limit passes. It owns the logo while it runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "logo/logo_controller.h"
#include "platform/interfaces/platform.h"
#include "prefs/prefs.h"

class Attention {
 public:
  // `onChange(true)` when a signal starts (or restarts in another style), `onChange(false)` when it stops.
  Attention(LogoController& logo, Prefs prefs, Platform& platform, std::function<void(bool)> onChange);
  ~Attention();
  Attention(const Attention&) = delete;
  Attention& operator=(const Attention&) = delete;

  // A missing style means the stored "signalStyle". The message is stored as given.
  void start(const std::optional<std::string>& message, std::optional<Prefs::SignalStyle> style);
  void stop();

  bool isActive() const { return isActive_; }
  const std::optional<std::string>& message() const { return message_; }
  // The running signal's style; meaningful while it is active.
  Prefs::SignalStyle activeStyle() const { return activeStyle_; }

 private:
  // A style's step period and the levels (nits) it writes, one per step, in a repeating cycle.
  struct Cadence {
    double stepSeconds;
    std::vector<double> levels;
  };
  static const Cadence& cadence(Prefs::SignalStyle style);

  void keepDisplayOn();
  void scheduleTicks();
  void tick();
  double timeLimitSeconds() const;
  bool userIsBack(double elapsed);
  void setLevel(double nits);
  void cancelTimer();

  LogoController& logo_;
  Prefs prefs_;
  Platform& platform_;
  std::function<void(bool)> onChange_;

  bool isActive_ = false;
  std::optional<std::string> message_;
  Prefs::SignalStyle activeStyle_ = Prefs::SignalStyle::breathing;
  double startedAt_;
  std::shared_ptr<TimerHandle> timer_;
  double tickInterval_ = 1.1;
  std::size_t stepIndex_ = 0;
  std::optional<double> lastAppliedNits_;
  std::uint32_t displayAssertion_ = 0;

  // Timer callbacks hold this weakly, so a tick that fires after destruction does nothing.
  std::shared_ptr<char> aliveToken_ = std::make_shared<char>();
};
