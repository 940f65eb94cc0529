// Everything the menu and the status item show, as one plain value derived from the preferences,
// the effective setting, the active rule, the attention signal and the logo's read-back. Both
// presentations of the menu render it; neither decides anything itself.
#pragma once

#include <map>
#include <string>

class AppDelegate;
struct Platform;

struct MenuState {
  // False on a machine whose logo cannot be controlled: the controls are disabled and stay as
  // launch left them; the status line gives the reason.
  bool available = true;
  std::string statusLine;

  bool switchOn = false;
  // 0 Automatic, 1 Fixed; -1 when nothing is selected (before the first refresh).
  int modeSegment = -1;
  double sliderPosition = 0;
  // The brightness the slider stands for (the stored fixed value, or 150 without one): the keys
  // step from it and assistive technology reads it.
  double sliderNits = 150;
  // The slider's tooltip, also its accessibility value ("150 nits").
  std::string sliderValueText;

  // The status item: icon, label (shown by hosts that show a title), tooltip, accessibility name,
  // and what that name says after "Halomark, " (a panel that names the item by its title and its
  // tool tip's text reads the two together).
  bool iconLit = true;
  bool iconAttention = false;
  std::string itemText;
  std::string itemToolTip = "Halomark";
  std::string itemAccessibleName = "Halomark";
  std::string itemDetail;

  bool stopSignalVisible = false;

  bool offWhenLocked = false;
  bool offInLowPowerMode = false;
  bool offOnBattery = false;
  bool offWithExternalDisplay = false;
  bool quietHoursEnabled = false;
  std::string quietHoursTitle;
  // Check mark of each "When Battery Is Low" choice, by percentage.
  std::map<int, bool> batteryChecked;

  bool operator==(const MenuState&) const = default;

  // What the menu shows now. Reads the live services, so call it when it is about to be shown.
  static MenuState derive(AppDelegate& delegate, Platform& platform);
};
