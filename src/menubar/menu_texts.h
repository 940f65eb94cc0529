// The menu's own words and fixed choices, shared by both presentations of the menu (the popup with
// the control rows and the host's native menu) so they cannot drift apart.
#pragma once

#include <array>
#include <string>

namespace MenuTexts {

inline constexpr const char* kAppName = "Halomark";
inline constexpr const char* kLogoLight = "Logo light";
inline constexpr const char* kAutomatic = "Automatic";
inline constexpr const char* kFixed = "Fixed";
inline constexpr const char* kAutomaticToolTip = "Follows your display's brightness, as macOS normally does.";
inline constexpr const char* kFixedToolTip =
    "Holds the logo at the brightness below, whatever the display does.";
inline constexpr const char* kModeAccessibleName = "Logo brightness mode";
inline constexpr const char* kDim = "Dim";
inline constexpr const char* kBright = "Bright";
inline constexpr const char* kSliderAccessibleName = "Fixed brightness";
inline constexpr const char* kPresetsAccessibleName = "Brightness presets";
inline constexpr const char* kBrightness = "Brightness";

inline constexpr const char* kRules = "Turn Off Automatically";
inline constexpr const char* kWhenLocked = "When Mac Is Locked";
inline constexpr const char* kWhenLockedToolTip =
    "Turns the logo off while the lock screen is showing. It comes back when you unlock.";
inline constexpr const char* kLowPower = "In Low Power Mode";
inline constexpr const char* kLowPowerToolTip = "Turns the logo off while Energy Mode is set to Low Power.";
inline constexpr const char* kOnBattery = "On Battery Power";
inline constexpr const char* kOnBatteryToolTip = "Turns the logo off whenever the charger is unplugged.";
inline constexpr const char* kExternalDisplay = "With External Display";
inline constexpr const char* kExternalDisplayToolTip =
    "Turns the logo off when an external monitor or projector is connected.";
inline constexpr const char* kQuietHours = "During Quiet Hours";
inline constexpr const char* kQuietHoursToolTip =
    "Turns off or dims the logo during your Quiet Hours schedule.";
inline constexpr const char* kBatteryLow = "When Battery Is Low";
inline constexpr const char* kAppsAndSchedule = "Apps & Schedule\u2026";

inline constexpr const char* kStopSignal = "Stop Attention Signal";
inline constexpr const char* kCheckForUpdates = "Check for Updates\u2026";
inline constexpr const char* kSettings = "Settings\u2026";
inline constexpr const char* kAbout = "About";
inline constexpr const char* kQuit = "Quit Halomark";

struct Preset {
  const char* title;
  double nits;
};
inline constexpr std::array<Preset, 3> kPresets{{{"Low", 25}, {"Medium", 150}, {"High", 600}}};

// "Set logo to 600 nits".
std::string presetToolTip(const Preset& preset);

// The "When Battery Is Low" choices, by percentage; 0 turns the rule off.
inline constexpr std::array<int, 5> kBatteryChoices{0, 10, 20, 30, 50};
// "Never", "At 10% or Below", ...
std::string batteryChoiceTitle(int percent);

}  // namespace MenuTexts
