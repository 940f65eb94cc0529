// The five logo-light actions offered to the desktop (scripts, launchers, the runner): what each one
// is called and takes, how it changes the stored setting, and the sentence it answers with. Every
// door into the application reaches the logo through these rules and nothing else.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/logo_commands.h"
#include "platform/interfaces/locale.h"
#include "prefs/setting.h"

enum class LogoLightAction { status, toggle, turnOn, turnOff, set };

namespace LogoLight {

inline constexpr const char* kModeTypeTitle = "Logo Light Mode";

// The set action's mode is the kind of setting it stores.
std::optional<Setting::Kind> modeFromRaw(const std::string& raw);
std::string rawValue(Setting::Kind mode);
// How the mode is offered as a choice, e.g. "Automatic (follow display)".
std::string displayName(Setting::Kind mode);

// The action's title ("Toggle Logo Light") and its stable name on the desktop's buses ("toggle").
std::string title(LogoLightAction action);
std::string actionName(LogoLightAction action);
std::optional<LogoLightAction> actionFromName(const std::string& name);

// The parameters of the set action.
struct NumberParameter {
  std::string title;
  std::string description;
  double defaultValue;
  double minimum;
  double maximum;
};
inline constexpr const char* kSetModeParameterTitle = "Mode";
inline constexpr Setting::Kind kSetModeDefault = Setting::Kind::automatic;
NumberParameter setNitsParameter();
// "Set logo light to Fixed Brightness at 150 nits"; the nits part only for a fixed mode.
std::string setParameterSummary(Setting::Kind mode, double nits, Locale& locale);

inline constexpr const char* kTurnedOffAnswer = "The logo is off.";

struct StatusAnswer {
  bool lit;
  std::string sentence;
};

// Runs the actions on the main thread, through the application's commands; each answers with the
// status sentence as it stands afterwards.
class Actions {
 public:
  explicit Actions(LogoCommands& commands) : commands_(commands) {}

  StatusAnswer status();
  std::string toggle();
  std::string turnOn();
  std::string turnOff();
  // Nits are held within the fixed range, and are ignored for the other modes.
  std::string set(Setting::Kind mode, double nits);

 private:
  LogoCommands& commands_;
};

}  // namespace LogoLight
