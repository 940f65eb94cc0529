#include "shortcuts/logo_light_actions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

using LogoLight::Actions;

class LogoLightActionsTest : public ::testing::Test {
 protected:
  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier][key] = value;
  }
  PlistValue stored(const std::string& key) { return fake.preferences.domains[kAppIdentifier][key]; }
  void connectExternalDisplay() {
    fake.displays.online = {1, 2};
    fake.displays.builtIn = {1};
  }

  FakePlatform fake;
  Prefs prefs{fake.platform.preferences};
  int delivered = 0;
  LogoCommands commands{prefs, fake.platform, [this] { ++delivered; }};
  Actions actions{commands};
};

TEST_F(LogoLightActionsTest, ModesTitlesAndParametersAreTheOfferedOnes) {
  EXPECT_EQ(LogoLight::modeFromRaw("fixed"), Setting::Kind::fixed);
  EXPECT_EQ(LogoLight::modeFromRaw("Fixed"), std::nullopt);
  EXPECT_EQ(LogoLight::modeFromRaw(""), std::nullopt);
  EXPECT_EQ(LogoLight::displayName(Setting::Kind::automatic), "Automatic (follow display)");
  EXPECT_EQ(LogoLight::displayName(Setting::Kind::fixed), "Fixed Brightness");
  EXPECT_EQ(LogoLight::title(LogoLightAction::status), "Get Logo Light Status");
  EXPECT_EQ(LogoLight::title(LogoLightAction::turnOff), "Turn Logo Light Off");
  EXPECT_EQ(LogoLight::actionFromName("turn-on"), LogoLightAction::turnOn);
  EXPECT_EQ(LogoLight::actionFromName("turn_on"), std::nullopt);
  auto nits = LogoLight::setNitsParameter();
  EXPECT_EQ(nits.title, "Brightness (nits)");
  EXPECT_EQ(nits.description, "From 12.5 to 1000. Used for Fixed Brightness.");
  EXPECT_EQ(nits.defaultValue, 150);
  EXPECT_EQ(nits.minimum, 12.5);
  EXPECT_EQ(nits.maximum, 1000);
  EXPECT_EQ(LogoLight::setParameterSummary(Setting::Kind::fixed, 150, fake.locale),
            "Set logo light to Fixed Brightness at 150 nits");
  EXPECT_EQ(LogoLight::setParameterSummary(Setting::Kind::automatic, 150, fake.locale),
            "Set logo light to Automatic (follow display)");
}

TEST_F(LogoLightActionsTest, SetFixedClampsIntoTheRangeAndAutomaticIgnoresNits) {
  EXPECT_EQ(actions.set(Setting::Kind::fixed, 5), "The logo is at a fixed 12.5 nits.");
  EXPECT_EQ(stored("fixedNits"), 12.5);
  EXPECT_EQ(stored("setting"), "fixed");
  EXPECT_EQ(stored("lastOn"), "fixed");
  EXPECT_EQ(actions.set(Setting::Kind::fixed, 4000), "The logo is at a fixed 1,000 nits.");
  EXPECT_EQ(stored("fixedNits"), 1000.0);
  EXPECT_EQ(actions.set(Setting::Kind::fixed, std::nan("")), "The logo is at a fixed 150 nits.");
  EXPECT_EQ(actions.set(Setting::Kind::automatic, 4000), "The logo is following the display.");
  EXPECT_EQ(stored("setting"), "automatic");
  EXPECT_EQ(stored("lastOn"), "automatic");
  EXPECT_EQ(stored("fixedNits"), 150.0);
}

TEST_F(LogoLightActionsTest, OffKeepsTheLastOnSettingForTurningOnAndToggling) {
  actions.set(Setting::Kind::fixed, 300);
  EXPECT_EQ(actions.set(Setting::Kind::off, 0), "The logo is off.");
  EXPECT_EQ(stored("lastOn"), "fixed");
  EXPECT_EQ(actions.turnOn(), "The logo is at a fixed 300 nits.");
  EXPECT_EQ(actions.toggle(), "The logo is off.");
  EXPECT_EQ(stored("setting"), "off");
  EXPECT_EQ(actions.toggle(), "The logo is at a fixed 300 nits.");
  EXPECT_EQ(stored("setting"), "fixed");
}

TEST_F(LogoLightActionsTest, TurnOffAlwaysAnswersOffEvenWhenAlreadyOff) {
  store("setting", "off");
  EXPECT_EQ(actions.turnOff(), "The logo is off.");
  EXPECT_EQ(stored("setting"), "off");
  EXPECT_EQ(stored("lastOn"), nullptr);
}

TEST_F(LogoLightActionsTest, EveryChangeIsStoredSynchronisedAndDeliveredOnce) {
  int syncsBefore = fake.preferences.synchronizeCount;
  actions.turnOff();
  actions.turnOn();
  actions.toggle();
  actions.set(Setting::Kind::fixed, 40);
  EXPECT_EQ(delivered, 4);
  EXPECT_EQ(fake.preferences.synchronizeCount - syncsBefore, 4);
  actions.status();
  EXPECT_EQ(delivered, 4);
}

TEST_F(LogoLightActionsTest, AChangeThatCouldNotBeStoredAnswersWithWhatStillHolds) {
  actions.set(Setting::Kind::fixed, 300);
  fake.preferences.refusesWrites = true;
  EXPECT_EQ(actions.turnOff(), "The logo is at a fixed 300 nits.");
  EXPECT_EQ(actions.set(Setting::Kind::automatic, 0), "The logo is at a fixed 300 nits.");
  EXPECT_EQ(delivered, 1);
}

TEST_F(LogoLightActionsTest, DimmingQuietHoursLeaveTheLogoLitWithoutHeldOff) {
  store("setting", "fixed");
  store("fixedNits", 150.0);
  store("quietHoursEnabled", true);
  store("quietHoursStartHour", 0);
  store("quietHoursEndHour", 23);
  store("quietHoursAction", "dim");
  fake.clock.setNow(1'799'971'200.0 + 3600);
  auto answer = actions.status();
  EXPECT_TRUE(answer.lit);
  EXPECT_EQ(answer.sentence, "The logo is at a fixed 150 nits.");
  store("quietHoursAction", "off");
  answer = actions.status();
  EXPECT_FALSE(answer.lit);
  EXPECT_EQ(answer.sentence, "The logo is at a fixed 150 nits, but it's held off because of Quiet Hours.");
}

TEST_F(LogoLightActionsTest, ExternalDisplayHoldsAnAutomaticLogoOffWithItsReason) {
  store("setting", "automatic");
  store("offWithExternalDisplay", true);
  connectExternalDisplay();
  auto answer = actions.status();
  EXPECT_FALSE(answer.lit);
  EXPECT_EQ(answer.sentence,
            "The logo is following the display, but it's held off because of external display.");
  store("setting", "off");
  answer = actions.status();
  EXPECT_FALSE(answer.lit);
  EXPECT_EQ(answer.sentence, "The logo is off.");
}

}  // namespace
