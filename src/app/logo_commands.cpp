#include "app/logo_commands.h"

#include "automation/automation_rules.h"

namespace {

bool holdsOff(const std::optional<Power::RuleOverride>& rule) {
  return rule && rule->kind == Power::RuleOverride::Kind::off;
}

}  // namespace

LogoCommands::LogoCommands(Prefs& prefs, Platform& platform, Deliver deliver)
    : prefs_(prefs), platform_(platform), deliver_(std::move(deliver)) {}

bool LogoCommands::set(const Setting& setting) {
  return commit(Prefs::Changes().setting(setting), PrefEffect::logo);
}

bool LogoCommands::toggle() { return set(prefs_.toggled()); }

bool LogoCommands::turnOn() { return set(prefs_.lastOnSetting()); }

bool LogoCommands::reset() {
  return commit(Prefs::Changes().setting(Setting::automatic()).set(PrefKeys::ignoreLimits, true),
                PrefEffect::logo);
}

bool LogoCommands::store(const Setting& setting) {
  prefs_.setSetting(setting);
  return prefs_.synchronize();
}

void LogoCommands::deliver() {
  if (deliver_) deliver_();
}

bool LogoCommands::commit(const Prefs::Changes& changes, PrefEffect effect) {
  prefs_.store(changes);
  if (!prefs_.synchronize()) return false;
  if (effect == PrefEffect::logo) deliver();
  return true;
}

bool LogoCommands::isLogoLit() {
  auto now = Power::outlook(prefs_, platform_);
  return !now.stored.isOff() && !holdsOff(now.rule);
}

std::string LogoCommands::statusSentence() {
  auto now = Power::outlook(prefs_, platform_);
  const Setting& setting = now.stored;
  std::string sentence;
  switch (setting.kind) {
    case Setting::Kind::automatic: sentence = "The logo is following the display"; break;
    case Setting::Kind::off: sentence = "The logo is off"; break;
    case Setting::Kind::fixed:
      sentence = "The logo is at a fixed " + platform_.locale.formatDecimal(setting.nits) + " nits";
      break;
  }
  if (holdsOff(now.rule)) sentence += ", but it's held off because of " + now.rule->reason;
  return sentence + ".";
}
