#include "shortcuts/logo_light_actions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "app/app_delegate.h"
#include "automation/automation_rules.h"

namespace LogoLight {

namespace {

struct ModeText {
  LogoLightMode mode;
  const char* raw;
  const char* shown;
};
constexpr std::array<ModeText, 3> kModes{{
    {LogoLightMode::off, "off", "Off"},
    {LogoLightMode::automatic, "automatic", "Automatic (follow display)"},
    {LogoLightMode::fixed, "fixed", "Fixed Brightness"},
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

const ModeText& modeText(LogoLightMode mode) {
  return *std::find_if(kModes.begin(), kModes.end(), [mode](const auto& m) { return m.mode == mode; });
}

const ActionText& actionText(LogoLightAction action) {
  return *std::find_if(kActions.begin(), kActions.end(),
                       [action](const auto& a) { return a.action == action; });
}

std::optional<Power::RuleOverride> ruleInForce(Prefs& prefs, Platform& platform) {
  return Power::activeOverride(prefs, Power::current(platform), platform.clock.now(), platform);
}

bool holdsOff(const std::optional<Power::RuleOverride>& rule) {
  return rule && rule->kind == Power::RuleOverride::Kind::off;
}

}  // namespace

std::optional<LogoLightMode> modeFromRaw(const std::string& raw) {
  for (const auto& mode : kModes)
    if (raw == mode.raw) return mode.mode;
  return std::nullopt;
}

std::string rawValue(LogoLightMode mode) { return modeText(mode).raw; }
std::string displayName(LogoLightMode mode) { return modeText(mode).shown; }
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

std::string setParameterSummary(LogoLightMode mode, double nits, Locale& locale) {
  std::string summary = "Set logo light to " + displayName(mode);
  if (mode == LogoLightMode::fixed) summary += " at " + locale.formatDecimal(nits) + " nits";
  return summary;
}

StatusAnswer Actions::status() { return {isLogoLit(), statusSentence()}; }

std::string Actions::toggle() {
  return changeAndAnswer([](Prefs& prefs) {
    prefs.setSetting(prefs.setting().isOff() ? prefs.lastOnSetting() : Setting::off());
  });
}

std::string Actions::turnOn() {
  return changeAndAnswer([](Prefs& prefs) { prefs.setSetting(prefs.lastOnSetting()); });
}

std::string Actions::turnOff() {
  // The last on setting stays, so turning on later restores it.
  changeAndAnswer([](Prefs& prefs) { prefs.setSetting(Setting::off()); });
  return kTurnedOffAnswer;
}

std::string Actions::set(LogoLightMode mode, double nits) {
  return changeAndAnswer([mode, nits](Prefs& prefs) {
    switch (mode) {
      case LogoLightMode::off: prefs.setSetting(Setting::off()); break;
      case LogoLightMode::automatic: prefs.setSetting(Setting::automatic()); break;
      case LogoLightMode::fixed:
        // A NaN from a careless caller would survive min/max; it stands for the default instead.
        prefs.setSetting(
            Setting::fixed(std::isnan(nits) ? kDefaultFixedNits : std::clamp(nits, kMinNits, kMaxNits)));
        break;
    }
  });
}

bool Actions::isLogoLit() {
  Prefs prefs(platform_.preferences);
  if (prefs.setting().isOff()) return false;
  return !holdsOff(ruleInForce(prefs, platform_));
}

std::string Actions::statusSentence() {
  Prefs prefs(platform_.preferences);
  Setting setting = prefs.setting();
  std::string sentence;
  switch (setting.kind) {
    case Setting::Kind::automatic: sentence = "The logo is following the display"; break;
    case Setting::Kind::off: sentence = "The logo is off"; break;
    case Setting::Kind::fixed:
      sentence = "The logo is at a fixed " + platform_.locale.formatDecimal(setting.nits) + " nits";
      break;
  }
  if (!setting.isOff()) {
    auto rule = ruleInForce(prefs, platform_);
    if (holdsOff(rule)) sentence += ", but it's held off because of " + rule->reason;
  }
  return sentence + ".";
}

std::string Actions::changeAndAnswer(const std::function<void(Prefs&)>& change) {
  Prefs prefs(platform_.preferences);
  change(prefs);
  prefs.synchronize();
  letTheApplicationApply();
  return statusSentence();
}

void Actions::letTheApplicationApply() {
  if (auto delegate = AppDelegate::shared().lock()) {
    delegate->prefs().synchronize();
    delegate->apply();
    return;
  }
  platform_.notifications.post(Prefs::changedNotification(), std::nullopt);
}

}  // namespace LogoLight
