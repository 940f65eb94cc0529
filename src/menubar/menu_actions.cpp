#include "menubar/menu_actions.h"

#include "app/app_delegate.h"
#include "menubar/menu_texts.h"
#include "menubar/slider_scale.h"

namespace {

const char* ruleKey(MenuActions::Rule rule) {
  switch (rule) {
    case MenuActions::Rule::locked: return "offWhenLocked";
    case MenuActions::Rule::lowPower: return "offInLowPowerMode";
    case MenuActions::Rule::onBattery: return "offOnBattery";
    case MenuActions::Rule::externalDisplay: return "offWithExternalDisplay";
    case MenuActions::Rule::quietHours: break;
  }
  return "quietHoursEnabled";
}

bool ruleValue(const Prefs& prefs, MenuActions::Rule rule) {
  switch (rule) {
    case MenuActions::Rule::locked: return prefs.offWhenLocked();
    case MenuActions::Rule::lowPower: return prefs.offInLowPowerMode();
    default: return prefs.boolValue(ruleKey(rule));
  }
}

}  // namespace

MenuActions::MenuActions(AppDelegate& delegate, Platform& platform)
    : delegate_(delegate), platform_(platform) {}

MenuActions::~MenuActions() {
  if (pendingSliderApply_) pendingSliderApply_->cancel();
}

void MenuActions::store() {
  delegate_.prefs().synchronize();
  delegate_.apply();
}

MenuActions::ClickResult MenuActions::statusItemClicked(Click click) {
  Attention* attention = delegate_.attention();
  if (attention && attention->isActive()) {
    attention->stop();
    return ClickResult::stoppedSignal;
  }
  if (click == Click::alternate && delegate_.compatibility() == LogoController::Compatibility::ok) {
    delegate_.toggleLogo();
    return ClickResult::toggled;
  }
  return ClickResult::openMenu;
}

void MenuActions::switchFlipped(bool on) {
  Prefs& prefs = delegate_.prefs();
  prefs.setSetting(on ? prefs.lastOnSetting() : Setting::off());
  store();
}

void MenuActions::modeChosen(int segment) {
  Prefs& prefs = delegate_.prefs();
  if (segment == 0) {
    prefs.setSetting(Setting::automatic());
  } else {
    double nits = prefs.doubleValue("fixedNits");
    prefs.setSetting(Setting::fixed(nits > 0 ? nits : kDefaultFixedNits));
  }
  store();
}

void MenuActions::presetChosen(int segment) {
  if (segment < 0 || segment >= static_cast<int>(MenuTexts::kPresets.size())) return;
  levelChosen(MenuTexts::kPresets[segment].nits);
}

void MenuActions::levelChosen(double nits) {
  delegate_.prefs().setSetting(Setting::fixed(nits));
  store();
}

std::string MenuActions::sliderMoved(double position) {
  double nits = SliderScale::nits(position);
  delegate_.prefs().setSetting(Setting::fixed(nits));
  delegate_.prefs().synchronize();
  if (pendingSliderApply_) pendingSliderApply_->cancel();
  pendingSliderApply_ = platform_.scheduler.after(kSliderPauseSeconds, [this] {
    pendingSliderApply_.reset();
    delegate_.apply();
  });
  return platform_.locale.formatDecimal(nits) + " nits";
}

void MenuActions::toggleRule(Rule rule) {
  Prefs& prefs = delegate_.prefs();
  prefs.set(ruleKey(rule), !ruleValue(prefs, rule));
  store();
}

void MenuActions::chooseBelow(int percent) {
  delegate_.prefs().set("offBelowPercent", percent);
  store();
}

void MenuActions::stopSignal() {
  Attention* attention = delegate_.attention();
  if (attention && attention->isActive()) attention->stop();
}
