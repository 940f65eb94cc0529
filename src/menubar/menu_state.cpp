#include "menubar/menu_state.h"

#include "app/app_delegate.h"
#include "menubar/menu_texts.h"
#include "menubar/slider_scale.h"
#include "menubar/status_text.h"

namespace {

MenuState unavailable(const std::string& reason) {
  MenuState state;
  state.available = false;
  state.statusLine = reason;
  state.iconLit = false;
  state.itemDetail = "unavailable";
  state.itemAccessibleName = "Halomark, " + state.itemDetail;
  state.quietHoursTitle = MenuTexts::kQuietHours;
  for (int percent : MenuTexts::kBatteryChoices) state.batteryChecked[percent] = false;
  return state;
}

void deriveRules(const Prefs& prefs, MenuState& state) {
  state.offWhenLocked = prefs.offWhenLocked();
  state.offInLowPowerMode = prefs.offInLowPowerMode();
  state.offOnBattery = prefs.value(PrefKeys::offOnBattery);
  state.offWithExternalDisplay = prefs.value(PrefKeys::offWithExternalDisplay);
  state.quietHoursEnabled = prefs.value(PrefKeys::quietHoursEnabled);
  state.quietHoursTitle = "Quiet Hours (" + Prefs::formatHour(prefs.quietHoursStartHour()) + "\u2013" +
                          Prefs::formatHour(prefs.quietHoursEndHour()) + ")";
  long long below = prefs.value(PrefKeys::offBelowPercent);
  for (int percent : MenuTexts::kBatteryChoices) state.batteryChecked[percent] = below == percent;
}

}  // namespace

MenuState MenuState::derive(AppDelegate& delegate, Platform& platform) {
  if (auto reason = AppDelegate::unavailableReason(delegate.compatibility())) return unavailable(*reason);
  MenuState state;
  Prefs& prefs = delegate.prefs();
  Power::Outlook now = delegate.outlook();
  const Setting& effective = now.effective;
  state.switchOn = !now.stored.isOff();
  Setting shown = now.stored.isOff() ? prefs.lastOnSetting() : effective;
  state.modeSegment = shown.isAutomatic() ? 0 : 1;

  double fixedNits = prefs.stored(PrefKeys::fixedNits).value_or(0);
  state.sliderPosition = SliderScale::position(fixedNits);
  state.sliderNits = fixedNits > 0 ? fixedNits : kDefaultFixedNits;
  state.sliderValueText =
      platform.locale.formatDecimal(fixedNits > 0 ? fixedNits : kDefaultFixedNits) + " nits";

  state.statusLine = StatusText::compose(now, delegate.logo().stateValue("FinalNits"));
  Attention* attention = delegate.attention();
  bool signalling = attention && attention->isActive();
  state.iconLit = signalling || !effective.isOff();
  state.iconAttention = signalling;
  if (signalling) {
    state.itemText = "Signaling";
    if (attention->message()) state.itemText += ": " + *attention->message();
  } else {
    state.itemText = state.statusLine;
  }
  state.itemDetail = state.itemText;
  state.itemAccessibleName = "Halomark, " + state.itemDetail;
  state.itemToolTip = "Halomark \u2014 " + state.itemText;
  state.stopSignalVisible = signalling;
  deriveRules(prefs, state);
  return state;
}
