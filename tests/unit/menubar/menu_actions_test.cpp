#include "menubar/menu_actions.h"

#include "menubar/slider_scale.h"
#include "unit/menubar/menubar_fixture.h"

namespace {

class MenuActionsTest : public MenuBarTest {
 protected:
  MenuActionsTest() { launch(); }
  std::size_t modeWrites() const { return fake.brightness.writesOf(kBacklightModeKey).size(); }
  MenuActions actions{*delegate, fake.platform};
};

TEST_F(MenuActionsTest, SliderStoresEveryMoveAndAppliesOncePaused) {
  std::size_t before = modeWrites();
  EXPECT_EQ(actions.sliderMoved(0), "13 nits");
  EXPECT_EQ(stored("fixedNits"), 13);
  fake.clock.advance(0.03);
  EXPECT_EQ(actions.sliderMoved(0.5), "112 nits");
  EXPECT_EQ(stored("fixedNits"), 112);
  EXPECT_EQ(stored("setting"), "fixed");
  fake.clock.advance(0.03);
  EXPECT_EQ(actions.sliderMoved(1), "1,000 nits");
  EXPECT_EQ(stored("fixedNits"), 1000);
  fake.clock.advance(0.049);
  EXPECT_EQ(modeWrites(), before) << "applied while the slider still moved";
  fake.clock.advance(0.002);
  EXPECT_EQ(modeWrites(), before + 1);
  EXPECT_EQ(delegate->effectiveSetting(), Setting::fixed(1000));
  fake.clock.advance(1);
  EXPECT_EQ(modeWrites(), before + 1);
}

TEST_F(MenuActionsTest, PresetWhileOffTurnsOnAtThePresetAndIgnoresUnknownSegments) {
  store("setting", "off");
  actions.presetChosen(3);
  actions.presetChosen(-1);
  EXPECT_EQ(stored("setting"), "off");
  actions.presetChosen(2);
  EXPECT_EQ(stored("setting"), "fixed");
  EXPECT_EQ(stored("fixedNits"), 600);
  MenuState s = state();
  EXPECT_TRUE(s.switchOn);
  EXPECT_EQ(s.modeSegment, 1);
  EXPECT_DOUBLE_EQ(s.sliderPosition, SliderScale::position(600));
  EXPECT_EQ(s.sliderValueText, "600 nits");
}

TEST_F(MenuActionsTest, ModeAndSwitchStoreTheSettingAndApply) {
  store("fixedNits", 0);
  int before = refreshes;
  actions.modeChosen(1);
  EXPECT_EQ(delegate->prefs().setting(), Setting::fixed(150));
  EXPECT_GT(refreshes, before);
  actions.switchFlipped(false);
  EXPECT_EQ(stored("setting"), "off");
  EXPECT_EQ(fake.brightness.writesOf(kBacklightModeKey).back(), 0);
  actions.switchFlipped(true);
  EXPECT_EQ(delegate->prefs().setting(), Setting::fixed(150));
  actions.modeChosen(0);
  EXPECT_EQ(stored("setting"), "automatic");
}

TEST_F(MenuActionsTest, RuleTogglesInvertWhatTheMenuShows) {
  actions.toggleRule(MenuActions::Rule::locked);  // on by default
  EXPECT_EQ(stored("offWhenLocked"), false);
  actions.toggleRule(MenuActions::Rule::onBattery);
  actions.toggleRule(MenuActions::Rule::quietHours);
  actions.toggleRule(MenuActions::Rule::externalDisplay);
  actions.toggleRule(MenuActions::Rule::lowPower);
  MenuState s = state();
  EXPECT_FALSE(s.offWhenLocked);
  EXPECT_FALSE(s.offInLowPowerMode);
  EXPECT_TRUE(s.offOnBattery && s.quietHoursEnabled && s.offWithExternalDisplay);
  actions.chooseBelow(30);
  EXPECT_EQ(stored("offBelowPercent"), 30);
  EXPECT_TRUE(state().batteryChecked.at(30));
}

TEST_F(MenuActionsTest, ClicksToggleStopOrOpenTheMenu) {
  EXPECT_EQ(actions.statusItemClicked(MenuActions::Click::plain), MenuActions::ClickResult::openMenu);
  delegate->prefs().setSetting(Setting::fixed(300));
  EXPECT_EQ(actions.statusItemClicked(MenuActions::Click::alternate), MenuActions::ClickResult::toggled);
  EXPECT_EQ(stored("setting"), "off");
  EXPECT_EQ(actions.statusItemClicked(MenuActions::Click::alternate), MenuActions::ClickResult::toggled);
  EXPECT_EQ(delegate->prefs().setting(), Setting::fixed(300));

  delegate->attention()->start(std::nullopt, std::nullopt);
  EXPECT_EQ(actions.statusItemClicked(MenuActions::Click::alternate),
            MenuActions::ClickResult::stoppedSignal);
  EXPECT_FALSE(delegate->attention()->isActive());
  EXPECT_EQ(delegate->prefs().setting(), Setting::fixed(300)) << "a click during a signal only stops it";
  delegate->attention()->start(std::nullopt, std::nullopt);
  EXPECT_EQ(actions.statusItemClicked(MenuActions::Click::plain), MenuActions::ClickResult::stoppedSignal);
  actions.stopSignal();
  EXPECT_FALSE(delegate->attention()->isActive());
}

TEST(MenuActionsUnavailable, AlternateClickOpensTheMenuLikeAPlainOne) {
  FakePlatform machine;
  machine.logoHardware.present = false;
  auto delegate = std::make_shared<AppDelegate>(machine.platform);
  delegate->applicationDidFinishLaunching();
  MenuActions actions(*delegate, machine.platform);
  EXPECT_EQ(actions.statusItemClicked(MenuActions::Click::alternate), MenuActions::ClickResult::openMenu);
  actions.stopSignal();
  EXPECT_TRUE(machine.brightness.writes.empty());
}

}  // namespace
