#include "menubar/menu_state.h"

#include <cmath>

#include "menubar/menu_texts.h"
#include "menubar/slider_scale.h"
#include "unit/menubar/menubar_fixture.h"

namespace {

TEST(SliderScaleTest, EndsRoundInwardAndTheDefaultSitsAt150) {
  EXPECT_EQ(SliderScale::nits(0), 13);
  EXPECT_EQ(SliderScale::nits(1), 1000);
  EXPECT_NEAR(SliderScale::position(150), 0.5670679018985314, 1e-12);
  EXPECT_NEAR(SliderScale::position(0), 0.5670679018985314, 1e-12);
  EXPECT_NEAR(SliderScale::position(-4), 0.5670679018985314, 1e-12);
  EXPECT_DOUBLE_EQ(SliderScale::position(12.5), 0);
  EXPECT_DOUBLE_EQ(SliderScale::position(1000), 1);
  for (double nits : {13.0, 25.0, 150.0, 600.0, 999.0})
    EXPECT_EQ(SliderScale::nits(SliderScale::position(nits)), nits);
}

TEST(SliderScaleTest, KeysStepInWholeNitsAndPagesByATenthOfTheTravel) {
  EXPECT_EQ(SliderScale::stepped(150, 1), 151);
  EXPECT_EQ(SliderScale::stepped(150, -1), 149);
  EXPECT_EQ(SliderScale::stepped(12.5, 1), 14) << "from the rounded value";
  EXPECT_EQ(SliderScale::stepped(13, -1), 13) << "held at the left end";
  EXPECT_EQ(SliderScale::stepped(1000, 1), 1000);
  EXPECT_EQ(SliderScale::stepped(0, 1), 151) << "no stored value counts as 150";
  EXPECT_EQ(SliderScale::paged(150, 1), 232);
  EXPECT_EQ(SliderScale::paged(150, -1), 97);
  EXPECT_EQ(SliderScale::paged(13, -1), 13);
  EXPECT_EQ(SliderScale::paged(990, 1), 1000);
  // Every whole nit the keys reach survives the slider's position and back.
  for (int nits = 13; nits <= 1000; ++nits)
    ASSERT_EQ(SliderScale::nits(SliderScale::position(nits)), nits) << nits;
}

TEST(MenuTextsTest, PresetAndBatteryTitles) {
  EXPECT_EQ(MenuTexts::presetToolTip(MenuTexts::kPresets[2]), "Set logo to 600 nits");
  EXPECT_EQ(MenuTexts::batteryChoiceTitle(0), "Never");
  EXPECT_EQ(MenuTexts::batteryChoiceTitle(10), "At 10% or Below");
  EXPECT_EQ(MenuTexts::batteryChoiceTitle(50), "At 50% or Below");
}

TEST_F(MenuBarTest, OnAutomaticTheControlsShowAutomaticAndTheLitIcon) {
  launch();
  MenuState s = state();
  EXPECT_TRUE(s.available);
  EXPECT_TRUE(s.switchOn);
  EXPECT_EQ(s.modeSegment, 0);
  EXPECT_NEAR(s.sliderPosition, 0.567, 5e-4);
  EXPECT_EQ(s.sliderValueText, "150 nits");
  EXPECT_EQ(s.statusLine, "On \u00b7 following display \u00b7 87 nits");
  EXPECT_TRUE(s.iconLit);
  EXPECT_FALSE(s.iconAttention);
  EXPECT_EQ(s.itemText, s.statusLine);
  EXPECT_EQ(s.itemAccessibleName, "Halomark, On \u00b7 following display \u00b7 87 nits");
  EXPECT_EQ(s.itemToolTip, "Halomark \u2014 On \u00b7 following display \u00b7 87 nits");
  EXPECT_FALSE(s.stopSignalVisible);
  // Defaults: the lock and low-power rules are on, the others off; "Never" is checked.
  EXPECT_TRUE(s.offWhenLocked);
  EXPECT_TRUE(s.offInLowPowerMode);
  EXPECT_FALSE(s.offOnBattery || s.offWithExternalDisplay || s.quietHoursEnabled);
  EXPECT_EQ(s.quietHoursTitle, "Quiet Hours (10 PM\u20137 AM)");
  EXPECT_TRUE(s.batteryChecked.at(0));
}

TEST_F(MenuBarTest, OnBatteryWithTheRuleShowsFixedAndTheReason) {
  store("offOnBattery", true);
  onBattery();
  launch();
  MenuState s = state();
  EXPECT_TRUE(s.switchOn);
  EXPECT_EQ(s.modeSegment, 1);  // the effective setting is off
  EXPECT_EQ(s.statusLine, "Off on battery power");
  EXPECT_FALSE(s.iconLit);
  EXPECT_TRUE(s.offOnBattery);
}

TEST_F(MenuBarTest, StoredOffShowsTheLastOnSettingAndTheUnlitIcon) {
  store("setting", "off");
  store("lastOn", "fixed");
  store("fixedNits", 12.5);
  launch();
  MenuState s = state();
  EXPECT_FALSE(s.switchOn);
  EXPECT_EQ(s.modeSegment, 1);
  EXPECT_DOUBLE_EQ(s.sliderPosition, 0);
  EXPECT_EQ(s.sliderNits, 12.5);
  EXPECT_EQ(s.sliderValueText, "12.5 nits");
  EXPECT_EQ(s.statusLine, "Off");
  EXPECT_FALSE(s.iconLit);
}

TEST_F(MenuBarTest, BatteryChoicesCarryExactlyOneCheckForAKnownPercentage) {
  launch();
  for (int percent : MenuTexts::kBatteryChoices) {
    store("offBelowPercent", percent);
    int checks = 0;
    for (auto [choice, checked] : state().batteryChecked) {
      checks += checked;
      EXPECT_EQ(checked, choice == percent);
    }
    EXPECT_EQ(checks, 1);
  }
  store("offBelowPercent", 15);
  for (auto [choice, checked] : state().batteryChecked) EXPECT_FALSE(checked) << choice;
}

TEST_F(MenuBarTest, QuietHoursTitleNamesTheWindow) {
  store("quietHoursStartHour", 0);
  store("quietHoursEndHour", 12);
  store("quietHoursEnabled", true);
  launch();
  EXPECT_EQ(state().quietHoursTitle, "Quiet Hours (12 AM\u201312 PM)");
  EXPECT_TRUE(state().quietHoursEnabled);
}

TEST_F(MenuBarTest, ASignalLightsTheIconWithTheDotAndNamesItsMessage) {
  store("setting", "off");
  launch();
  delegate->attention()->start(std::string("Build finished"), std::nullopt);
  MenuState s = state();
  EXPECT_TRUE(s.iconLit);
  EXPECT_TRUE(s.iconAttention);
  EXPECT_TRUE(s.stopSignalVisible);
  EXPECT_EQ(s.itemText, "Signaling: Build finished");
  EXPECT_EQ(s.itemAccessibleName, "Halomark, Signaling: Build finished");
  EXPECT_EQ(s.statusLine, "Off");
  delegate->attention()->stop();
  delegate->attention()->start(std::nullopt, std::nullopt);
  EXPECT_EQ(state().itemText, "Signaling");
}

TEST(MenuStateUnavailable, AMachineWithoutTheLogoShowsTheReasonAndNothingElse) {
  FakePlatform machine;
  machine.logoHardware.present = false;
  auto delegate = std::make_shared<AppDelegate>(machine.platform);
  delegate->applicationDidFinishLaunching();
  MenuState s = MenuState::derive(*delegate, machine.platform);
  EXPECT_FALSE(s.available);
  EXPECT_EQ(s.statusLine, "This Mac doesn't have an illuminated logo");
  EXPECT_FALSE(s.iconLit);
  EXPECT_EQ(s.itemAccessibleName, "Halomark, unavailable");
  EXPECT_EQ(s.itemToolTip, "Halomark");
  EXPECT_EQ(s.modeSegment, -1);
  EXPECT_FALSE(s.switchOn);
}

}  // namespace
