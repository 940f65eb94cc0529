#include "shortcuts/logo_light_actions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace LogoLight {

namespace {

struct ModeText {
  Setting::Kind mode;
  const char* raw;
  const char* shown;
};
constexpr std::array<ModeText, 3> kModes{{
    {Setting::Kind::off, "off", "Off"},
    {Setting::Kind::automatic, "automatic", "Automatic (follow display)"},
    {Setting::Kind::fixed, "fixed", "Fixed Brightness"},
}};

struct ActionText {
  LogoLightAction action;
  const char* name;
  const char* title;
};
constexpr std::array<ActionText, 5> kActions{{
    {LogoLightAction::status, "status", "Get Logo Light Status"},
    {LogoLightAction::toggle, "toggle", "Toggle Logo Light"},
    {LogoLightAction::turnOn, "turn-on", "Turn Logo Light On"},
    {LogoLightAction::turnOff, "turn-off", "Turn Logo Light Off"},
    {LogoLightAction::set, "set", "Set Logo Light"},
}};

const ModeText& modeText(Setting::Kind mode) {
  return *std::find_if(kModes.begin(), kModes.end(), [mode](const auto& m) { return m.mode == mode; });
}

const ActionText& actionText(LogoLightAction action) {
  return *std::find_if(kActions.begin(), kActions.end(),
                       [action](const auto& a) { return a.action == action; });
}

}  // namespace

std::optional<Setting::Kind> modeFromRaw(const std::string& raw) {
  for (const auto& mode : kModes)
    if (raw == mode.raw) return mode.mode;
  return std::nullopt;
}

std::string rawValue(Setting::Kind mode) { return modeText(mode).raw; }
std::string displayName(Setting::Kind mode) { return modeText(mode).shown; }
std::string title(LogoLightAction action) { return actionText(action).title; }
std::string actionName(LogoLightAction action) { return actionText(action).name; }

std::optional<LogoLightAction> actionFromName(const std::string& name) {
  for (const auto& action : kActions)
    if (name == action.name) return action.action;
  return std::nullopt;
}

NumberParameter setNitsParameter() {
  return {"Brightness (nits)", "From 12.5 to 1000. Used for Fixed Brightness.", kDefaultFixedNits, kMinNits,
          kMaxNits};
}

std::string setParameterSummary(Setting::Kind mode, double nits, Locale& locale) {
  std::string summary = "Set logo light to " + displayName(mode);
  if (mode == Setting::Kind::fixed) summary += " at " + locale.formatDecimal(nits) + " nits";
  return summary;
}

StatusAnswer Actions::status() { return {commands_.isLogoLit(), commands_.statusSentence()}; }

std::string Actions::toggle() {
  commands_.toggle();
  return commands_.statusSentence();
}

std::string Actions::turnOn() {
  commands_.turnOn();
  return commands_.statusSentence();
}

std::string Actions::turnOff() {
  // The last on setting stays, so turning on later restores it. A change that could not be stored
  // answers with what still holds.
  if (!commands_.set(Setting::off())) return commands_.statusSentence();
  return kTurnedOffAnswer;
}

std::string Actions::set(Setting::Kind mode, double nits) {
  switch (mode) {
    case Setting::Kind::off: commands_.set(Setting::off()); break;
    case Setting::Kind::automatic: commands_.set(Setting::automatic()); break;
    case Setting::Kind::fixed:
      // A NaN from a careless caller would survive min/max; it stands for the default instead.
      commands_.set(
          Setting::fixed(std::isnan(nits) ? kDefaultFixedNits : std::clamp(nits, kMinNits, kMaxNits)));
      break;
  }
  return commands_.statusSentence();
}

}  // namespace LogoLight
