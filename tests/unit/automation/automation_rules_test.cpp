#include "automation/automation_rules.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

using Power::RuleOverride;

// Midnight UTC of the virtual clock's first day.
constexpr double kMidnight = 1'799'971'200.0;

double at(int hour, int minute, int second = 0) { return kMidnight + hour * 3600.0 + minute * 60.0 + second; }

class AutomationRulesTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  Prefs prefs{fake.preferences};
  Power::State state;
  double now = at(12, 0);

  void store(const std::string& key, const PlistValue& value) { prefs.set(key, value); }
  std::optional<RuleOverride> rule() { return Power::activeOverride(prefs, state, now, fake.platform); }
  std::optional<std::string> reason() {
    auto result = rule();
    if (!result) return std::nullopt;
    return result->reason;
  }
};

TEST_F(AutomationRulesTest, FreshStoreHoldsTheLogoOffOnlyWhenLocked) {
  EXPECT_EQ(rule(), std::nullopt);
  state.screenLocked = true;
  EXPECT_EQ(rule(), RuleOverride::off("Mac is locked"));
  store("offWhenLocked", false);
  EXPECT_EQ(rule(), std::nullopt);
  state.lowPowerMode = true;
  EXPECT_EQ(rule(), RuleOverride::off("Low Power Mode"));
  store("offInLowPowerMode", false);
  EXPECT_EQ(rule(), std::nullopt);
}

TEST_F(AutomationRulesTest, RulesFireInTheirFixedOrder) {
  store("offBelowPercent", 20);
  store("offOnBattery", true);
  store("offWithExternalDisplay", true);
  store("offAppBundleIDs", PlistValue::array({"org.example.Editor"}));
  store("quietHoursEnabled", true);
  store("quietHoursStartHour", 0);
  store("quietHoursEndHour", 23);
  state = Power::State{true, 10, true, true, true, {{"org.example.Editor", "Editor"}}, std::nullopt};

  EXPECT_EQ(reason(), "Mac is locked");
  state.screenLocked = false;
  EXPECT_EQ(reason(), "Low Power Mode");
  state.lowPowerMode = false;
  EXPECT_EQ(reason(), "battery at 10%");
  state.percent = 50;
  EXPECT_EQ(reason(), "on battery");
  state.onBattery = false;
  EXPECT_EQ(reason(), "external display");
  state.externalDisplayConnected = false;
  EXPECT_EQ(reason(), "Editor is open");
  state.runningApps.clear();
  EXPECT_EQ(rule(), RuleOverride::off("Quiet Hours"));
  store("quietHoursAction", "dim");
  EXPECT_EQ(rule(), RuleOverride::dim(25, "Quiet Hours"));
  store("quietHoursEnabled", false);
  EXPECT_EQ(rule(), std::nullopt);
}

TEST_F(AutomationRulesTest, BatteryThresholdIsInclusiveAndOnlyOnBattery) {
  store("offBelowPercent", 20);
  state.onBattery = true;
  state.percent = 20;
  EXPECT_EQ(rule(), RuleOverride::off("battery at 20%"));
  state.percent = 21;
  EXPECT_EQ(rule(), std::nullopt);
  state.percent = std::nullopt;
  EXPECT_EQ(rule(), std::nullopt);
  state.onBattery = false;
  state.percent = 5;
  EXPECT_EQ(rule(), std::nullopt);
  state.onBattery = true;
  store("offBelowPercent", 0);
  EXPECT_EQ(rule(), std::nullopt);
  store("offBelowPercent", -5);
  EXPECT_EQ(rule(), std::nullopt);
  store("offBelowPercent", 100);
  state.percent = 100;
  EXPECT_EQ(reason(), "battery at 100%");
}

TEST_F(AutomationRulesTest, WatchedAppsFollowTheListOrder) {
  store("offAppBundleIDs", PlistValue::array({"org.example.A", "org.example.B"}));
  state.runningApps = {{"org.example.B", "Bee"}, {"org.example.A", "Ay"}, {"org.example.C", "Sea"}};
  EXPECT_EQ(reason(), "Ay is open");
  state.runningApps.erase("org.example.A");
  EXPECT_EQ(reason(), "Bee is open");
  state.runningApps = {{"org.example.a", "lower case"}};
  EXPECT_EQ(rule(), std::nullopt);
  store("offAppBundleIDs", PlistValue::array());
  state.runningApps = {{"org.example.A", "Ay"}};
  EXPECT_EQ(rule(), std::nullopt);
}

TEST_F(AutomationRulesTest, FrontmostOnlyCountsTheFrontApplication) {
  store("offAppBundleIDs", PlistValue::array({"org.example.A", "org.example.B"}));
  store("offAppsFrontmostOnly", true);
  state.runningApps = {{"org.example.A", "Ay"}, {"org.example.B", "Bee"}};
  EXPECT_EQ(rule(), std::nullopt) << "running in the background does not count";
  state.frontmostBundleID = "org.example.B";
  EXPECT_EQ(reason(), "Bee is active");
  state.frontmostBundleID = "org.example.C";
  EXPECT_EQ(rule(), std::nullopt);

  // Frontmost but already gone from the running list: the installed name, else the last piece.
  state.runningApps.clear();
  state.frontmostBundleID = "org.example.A";
  EXPECT_EQ(reason(), "A is active");
  fake.workspace.installed["org.example.A"] = "/apps/Alpha.app";
  EXPECT_EQ(reason(), "Alpha is active");
}

TEST_F(AutomationRulesTest, QuietHoursWindowBoundaries) {
  Clock& clock = fake.clock;
  EXPECT_TRUE(Power::isInQuietHours(22, 7, at(23, 30), clock));
  EXPECT_TRUE(Power::isInQuietHours(22, 7, at(6, 59, 59), clock));
  EXPECT_TRUE(Power::isInQuietHours(22, 7, at(22, 0), clock));
  EXPECT_TRUE(Power::isInQuietHours(22, 7, at(0, 0), clock));
  EXPECT_FALSE(Power::isInQuietHours(22, 7, at(7, 0), clock));
  EXPECT_FALSE(Power::isInQuietHours(22, 7, at(21, 59, 59), clock));
  EXPECT_TRUE(Power::isInQuietHours(9, 17, at(9, 0), clock));
  EXPECT_TRUE(Power::isInQuietHours(9, 17, at(16, 59), clock));
  EXPECT_FALSE(Power::isInQuietHours(9, 17, at(17, 0), clock));
  EXPECT_FALSE(Power::isInQuietHours(9, 17, at(8, 59), clock));
  for (int hour = 0; hour < 24; ++hour) EXPECT_FALSE(Power::isInQuietHours(5, 5, at(hour, 30), clock));
  EXPECT_TRUE(Power::isInQuietHours(23, 0, at(23, 0), clock));
  EXPECT_FALSE(Power::isInQuietHours(23, 0, at(0, 0), clock));
}

TEST_F(AutomationRulesTest, QuietHoursUseTheUsersTimeZone) {
  store("quietHoursEnabled", true);  // 22 to 7 by default
  now = at(20, 30);
  EXPECT_EQ(rule(), std::nullopt);
  fake.clock.utcOffsetHours = 2;  // 22:30 local
  EXPECT_EQ(rule(), RuleOverride::off("Quiet Hours"));
}

class EffectiveSettingTest : public AutomationRulesTest {
 protected:
  Setting effective() { return Power::effectiveSetting(prefs, fake.platform); }
  void beInQuietHours(const char* action) {
    store("quietHoursEnabled", true);
    store("quietHoursAction", action);
    fake.clock.setNow(at(23, 0));
  }
};

TEST_F(EffectiveSettingTest, NoOverrideKeepsTheStoredSetting) {
  fake.clock.setNow(at(12, 0));
  EXPECT_EQ(effective(), Setting::automatic());
  prefs.setSetting(Setting::fixed(300));
  EXPECT_EQ(effective(), Setting::fixed(300));
  EXPECT_EQ(fake.powerSources.snapshots, 2);
}

TEST_F(EffectiveSettingTest, OffRulesTurnTheLogoOff) {
  prefs.setSetting(Setting::fixed(300));
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", true}};
  EXPECT_EQ(effective(), Setting::off());
  fake.session.dictionary = PlistValue::object();
  beInQuietHours("off");
  EXPECT_EQ(effective(), Setting::off());
}

TEST_F(EffectiveSettingTest, DimmingBecomesAFixedTwentyFiveNits) {
  beInQuietHours("dim");
  prefs.setSetting(Setting::fixed(500));
  EXPECT_EQ(effective(), Setting::fixed(25));
  prefs.setSetting(Setting::automatic());
  EXPECT_EQ(effective(), Setting::fixed(25));
  prefs.setSetting(Setting::fixed(12.5));
  EXPECT_EQ(effective(), Setting::fixed(25));
}

TEST_F(EffectiveSettingTest, StoredOffNeverSamplesTheSystem) {
  beInQuietHours("dim");
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", true}};
  fake.powerSources.lowPowerMode = true;
  prefs.setSetting(Setting::off());
  EXPECT_EQ(effective(), Setting::off());
  EXPECT_EQ(fake.powerSources.snapshots, 0);
}

}  // namespace
