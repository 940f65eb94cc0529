#include "app/published_state.h"

#include "app/app_delegate.h"
#include "prefs/prefs.h"

namespace PublishedState {

namespace {

std::string settingName(const Setting& setting) {
  switch (setting.kind) {
    case Setting::Kind::fixed: return "fixed";
    case Setting::Kind::off: return "off";
    case Setting::Kind::automatic: break;
  }
  return "automatic";
}

}  // namespace

PlistDictionary of(AppDelegate& delegate) {
  Prefs& prefs = delegate.prefs();
  PlistDictionary properties;
  properties[kSetting] = settingName(prefs.setting());
  properties[kFixedNits] = prefs.value(PrefKeys::fixedNits);
  properties[kLogoNits] = delegate.logo().stateValue("FinalNits").value_or(-1.0);
  std::string heldOff;
  std::string dimmed;
  // A machine whose logo cannot be controlled applies no rule; the setting alone is told.
  if (delegate.compatibility() == LogoController::Compatibility::ok) {
    if (const auto& rule = delegate.outlook().rule) {
      (rule->kind == Power::RuleOverride::Kind::off ? heldOff : dimmed) = rule->reason;
    }
  }
  properties[kHeldOffReason] = heldOff;
  properties[kDimmedReason] = dimmed;
  Attention* attention = delegate.attention();
  bool signaling = attention && attention->isActive();
  properties[kSignaling] = signaling;
  properties[kSignalMessage] = signaling ? attention->message().value_or("") : "";
  properties[kSignalStyle] = signaling ? Prefs::rawValue(attention->activeStyle()) : "";
  return properties;
}

PlistDictionary changes(const std::optional<PlistDictionary>& before, const PlistDictionary& now) {
  if (!before) return now;
  PlistDictionary changed;
  for (const auto& [name, value] : now) {
    auto earlier = before->find(name);
    if (earlier == before->end() || earlier->second != value) changed[name] = value;
  }
  return changed;
}

}  // namespace PublishedState
