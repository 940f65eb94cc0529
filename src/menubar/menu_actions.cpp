#include "menubar/menu_actions.h"

#include "app/app_delegate.h"
#include "menubar/menu_texts.h"
#include "menubar/slider_scale.h"

namespace {

TypedPrefKey<bool> ruleKey(MenuActions::Rule rule) {
  switch (rule) {
    case MenuActions::Rule::locked: return PrefKeys::offWhenLocked;
    case MenuActions::Rule::lowPower: return PrefKeys::offInLowPowerMode;
    case MenuActions::Rule::onBattery: return PrefKeys::offOnBattery;
    case MenuActions::Rule::externalDisplay: return PrefKeys::offWithExternalDisplay;
    case MenuActions::Rule::quietHours: break;
  }
  return PrefKeys::quietHoursEnabled;
}

}  // namespace

MenuActions::MenuActions(AppDelegate& delegate, Platform& platform)
    : delegate_(delegate), commands_(delegate.commands()), platform_(platform) {}

MenuActions::~MenuActions() {
  if (pendingSliderApply_) pendingSliderApply_->cancel();
}

MenuActions::ClickResult MenuActions::statusItemClicked(Click click) {
  if (delegate_.isSignaling()) {
    stopSignal();
    return ClickResult::stoppedSignal;
  }
  if (click == Click::alternate && delegate_.compatibility() == LogoController::Compatibility::ok) {
    commands_.toggle();
    return ClickResult::toggled;
  }
  return ClickResult::openMenu;
}

void MenuActions::switchFlipped(bool on) {
  Prefs& prefs = commands_.prefs();
  commands_.set(on ? prefs.lastOnSetting() : Setting::off());
}

void MenuActions::modeChosen(int segment) {
  if (segment == 0) {
    commands_.set(Setting::automatic());
    return;
  }
  double nits = commands_.prefs().stored(PrefKeys::fixedNits).value_or(0);
  commands_.set(Setting::fixed(nits > 0 ? nits : kDefaultFixedNits));
}

void MenuActions::presetChosen(int segment) {
  if (segment < 0 || segment >= static_cast<int>(MenuTexts::kPresets.size())) return;
  levelChosen(MenuTexts::kPresets[segment].nits);
}

void MenuActions::levelChosen(double nits) { commands_.set(Setting::fixed(nits)); }

std::string MenuActions::sliderMoved(double position) {
  double nits = SliderScale::nits(position);
  commands_.store(Setting::fixed(nits));
  if (pendingSliderApply_) pendingSliderApply_->cancel();
  pendingSliderApply_ = platform_.scheduler.after(kSliderPauseSeconds, [this] {
    pendingSliderApply_.reset();
    commands_.deliver();
  });
  return platform_.locale.formatDecimal(nits) + " nits";
}

void MenuActions::toggleRule(Rule rule) {
  auto key = ruleKey(rule);
  commands_.set(key, !commands_.prefs().value(key));
}

void MenuActions::chooseBelow(int percent) { commands_.set(PrefKeys::offBelowPercent, percent); }

void MenuActions::stopSignal() {
  delegate_.requestSignal({SignalRequest::Action::stop, std::nullopt, std::nullopt});
}
