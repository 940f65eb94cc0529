// What the menu's controls and the status item's clicks do: each changes the logo through the
// application's commands, or asks it to stop the attention signal. Both presentations of the menu
// forward here.
#pragma once

#include <memory>
#include <string>

class AppDelegate;
class LogoCommands;
struct Platform;
class TimerHandle;

class MenuActions {
 public:
  enum class Rule { locked, lowPower, onBattery, externalDisplay, quietHours };
  enum class Click { plain, alternate };  // alternate: Alt held, or the middle button
  enum class ClickResult { stoppedSignal, toggled, openMenu };

  // Seconds the slider must rest before the logo follows it.
  static constexpr double kSliderPauseSeconds = 0.05;

  MenuActions(AppDelegate& delegate, Platform& platform);
  ~MenuActions();

  // Any click while a signal runs only stops it; an alternate click toggles the logo where it can
  // be controlled; otherwise the menu opens.
  ClickResult statusItemClicked(Click click);

  void switchFlipped(bool on);
  void modeChosen(int segment);
  void presetChosen(int segment);
  // A brightness picked from a list (the native menu's stand-in for the slider).
  void levelChosen(double nits);
  // Stores the position's brightness at once and delivers it once movement pauses; returns the text
  // the slider's tooltip shows for it.
  std::string sliderMoved(double position);
  void toggleRule(Rule rule);
  void chooseBelow(int percent);
  void stopSignal();

 private:
  AppDelegate& delegate_;
  LogoCommands& commands_;
  Platform& platform_;
  std::shared_ptr<TimerHandle> pendingSliderApply_;
};
