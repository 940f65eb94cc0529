// The five logo-light actions offered to the desktop (scripts, launchers, the runner): what each one
// is called and takes, how it changes the stored setting, and the sentence it answers with. Every
// door into the application reaches the logo through these rules and nothing else.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "prefs/prefs.h"

enum class LogoLightMode { off, automatic, fixed };

enum class LogoLightAction { status, toggle, turnOn, turnOff, set };

namespace LogoLight {

inline constexpr const char* kModeTypeTitle = "Logo Light Mode";

std::optional<LogoLightMode> modeFromRaw(const std::string& raw);
std::string rawValue(LogoLightMode mode);
// How the mode is offered as a choice, e.g. "Automatic (follow display)".
std::string displayName(LogoLightMode mode);

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
inline constexpr LogoLightMode kSetModeDefault = LogoLightMode::automatic;
NumberParameter setNitsParameter();
// "Set logo light to Fixed Brightness at 150 nits"; the nits part only for a fixed mode.
std::string setParameterSummary(LogoLightMode mode, double nits, Locale& locale);

inline constexpr const char* kTurnedOffAnswer = "The logo is off.";

struct StatusAnswer {
  bool lit;
  std::string sentence;
};

// Runs the actions on the main thread. A change is written to the shared store and synchronised;
// the running application in this process applies it at once, otherwise the changed-preferences
// notification lets a running application pick it up.
class Actions {
 public:
  explicit Actions(Platform& platform) : platform_(platform) {}

  StatusAnswer status();
  std::string toggle();
  std::string turnOn();
  std::string turnOff();
  // Nits are held within the fixed range, and are ignored for the other modes.
  std::string set(LogoLightMode mode, double nits);

  // Whether the logo shows light now: not off, and no automation rule holds it off (a dimming rule
  // still leaves it lit).
  bool isLogoLit();
  std::string statusSentence();

 private:
  std::string changeAndAnswer(const std::function<void(Prefs&)>& change);
  void letTheApplicationApply();

  Platform& platform_;
};

}  // namespace LogoLight
