#include "shortcuts/logo_light_actions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/app_delegate.h"
#include "fakes/fake_platform.h"
#include "prefs/app_identifier.h"

namespace {

using LogoLight::Actions;

class LogoLightActionsTest : public ::testing::Test {
 protected:
  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier][key] = value;
  }
  PlistValue stored(const std::string& key) { return fake.preferences.domains[kAppIdentifier][key]; }
  std::size_t changeNotifications() const {
    std::size_t count = 0;
    for (const auto& posted : fake.notifications.posted)
      if (posted.name == Prefs::changedNotification() && !posted.userInfo) ++count;
    return count;
  }
  void connectExternalDisplay() {
    fake.displays.online = {1, 2};
    fake.displays.builtIn = {1};
  }

  FakePlatform fake;
  Actions actions{fake.platform};
};

TEST_F(LogoLightActionsTest, ModesTitlesAndParametersAreTheOfferedOnes) {
  EXPECT_EQ(LogoLight::modeFromRaw("fixed"), LogoLightMode::fixed);
  EXPECT_EQ(LogoLight::modeFromRaw("Fixed"), std::nullopt);
  EXPECT_EQ(LogoLight::modeFromRaw(""), std::nullopt);
  EXPECT_EQ(LogoLight::displayName(LogoLightMode::automatic), "Automatic (follow display)");
  EXPECT_EQ(LogoLight::displayName(LogoLightMode::fixed), "Fixed Brightness");
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
  EXPECT_EQ(LogoLight::setParameterSummary(LogoLightMode::fixed, 150, fake.locale),
            "Set logo light to Fixed Brightness at 150 nits");
  EXPECT_EQ(LogoLight::setParameterSummary(LogoLightMode::automatic, 150, fake.locale),
            "Set logo light to Automatic (follow display)");
}

TEST_F(LogoLightActionsTest, SetFixedClampsIntoTheRangeAndAutomaticIgnoresNits) {
  EXPECT_EQ(actions.set(LogoLightMode::fixed, 5), "The logo is at a fixed 12.5 nits.");
  EXPECT_EQ(stored("fixedNits"), 12.5);
  EXPECT_EQ(stored("setting"), "fixed");
  EXPECT_EQ(stored("lastOn"), "fixed");
  EXPECT_EQ(actions.set(LogoLightMode::fixed, 4000), "The logo is at a fixed 1,000 nits.");
  EXPECT_EQ(stored("fixedNits"), 1000.0);
  EXPECT_EQ(actions.set(LogoLightMode::fixed, std::nan("")), "The logo is at a fixed 150 nits.");
  EXPECT_EQ(actions.set(LogoLightMode::automatic, 4000), "The logo is following the display.");
  EXPECT_EQ(stored("setting"), "automatic");
  EXPECT_EQ(stored("lastOn"), "automatic");
  EXPECT_EQ(stored("fixedNits"), 150.0);
}

TEST_F(LogoLightActionsTest, OffKeepsTheLastOnSettingForTurningOnAndToggling) {
  actions.set(LogoLightMode::fixed, 300);
  EXPECT_EQ(actions.set(LogoLightMode::off, 0), "The logo is off.");
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

TEST_F(LogoLightActionsTest, WithoutTheApplicationEveryChangeIsStoredSynchronisedAndAnnounced) {
  int syncsBefore = fake.preferences.synchronizeCount;
  actions.turnOff();
  actions.turnOn();
  actions.toggle();
  actions.set(LogoLightMode::fixed, 40);
  EXPECT_EQ(changeNotifications(), 4u);
  EXPECT_GE(fake.preferences.synchronizeCount - syncsBefore, 4);
  EXPECT_TRUE(fake.brightness.writes.empty());
  actions.status();
  EXPECT_EQ(changeNotifications(), 4u);
}

TEST_F(LogoLightActionsTest, InsideTheApplicationTheChangeIsAppliedAtOnce) {
  auto delegate = std::make_shared<AppDelegate>(fake.platform);
  AppDelegate::shared() = delegate;
  actions.turnOff();
  EXPECT_EQ(changeNotifications(), 0u);
  EXPECT_FALSE(fake.brightness.writesOf("LEBacklightMode").empty());
  EXPECT_EQ(fake.brightness.writesOf("LEBacklightMode").back(), 0);
  AppDelegate::shared().reset();
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
