#include "automation/power_state.h"

#include <gtest/gtest.h>

#include <limits>

#include "fakes/fake_platform.h"

namespace {

PlistValue battery(const char* type, PlistValue current, PlistValue maximum) {
  return {{"Type", type}, {"Current Capacity", current}, {"Max Capacity", maximum}};
}

class PowerStateTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  std::optional<std::int64_t> percentOf(std::int64_t current, std::int64_t maximum) {
    fake.powerSources.state =
        PowerSourcesSnapshot{"AC Power", {battery("InternalBattery", current, maximum)}};
    return Power::current(fake.platform).percent;
  }
};

TEST_F(PowerStateTest, PercentRoundsHalvesAwayFromZero) {
  EXPECT_EQ(percentOf(50, 200), 25);
  EXPECT_EQ(percentOf(1, 200), 1);
  EXPECT_EQ(percentOf(199, 200), 100);
  EXPECT_EQ(percentOf(2, 3), 67);
  EXPECT_EQ(percentOf(1, 8), 13);
  EXPECT_EQ(percentOf(0, 100), 0);
  EXPECT_EQ(percentOf(110, 100), 110);  // not clamped
  EXPECT_EQ(percentOf(5, 0), std::nullopt);
}

TEST_F(PowerStateTest, CapacitiesTooLargeForAPercentageGiveNone) {
  EXPECT_EQ(percentOf(std::numeric_limits<std::int64_t>::max(), 1), std::nullopt);
  // An unsigned reading beyond the signed range must not wrap into a negative charge.
  fake.powerSources.state = PowerSourcesSnapshot{
      "AC Power", {battery("InternalBattery", std::numeric_limits<std::uint64_t>::max(), 1)}};
  EXPECT_EQ(Power::current(fake.platform).percent, std::nullopt);
  fake.powerSources.state = PowerSourcesSnapshot{
      "AC Power", {battery("InternalBattery", std::uint64_t{1} << 63, std::uint64_t{1} << 63)}};
  EXPECT_EQ(Power::current(fake.platform).percent, 100);
}

TEST_F(PowerStateTest, OnlyInternalBatteriesCountAndTheLastWins) {
  fake.powerSources.state = PowerSourcesSnapshot{
      "Battery Power",
      {battery("InternalBattery", 40, 100), battery("ExternalBattery", 90, 100), PlistValue("junk"),
       battery("InternalBattery", 3, 4), battery("InternalBattery", 1.5, 4), battery("UPS", 1, 100)}};
  auto state = Power::current(fake.platform);
  EXPECT_TRUE(state.onBattery);
  EXPECT_EQ(state.percent, 75);

  fake.powerSources.state = PowerSourcesSnapshot{"AC Power", {battery("ExternalBattery", 90, 100)}};
  state = Power::current(fake.platform);
  EXPECT_FALSE(state.onBattery);
  EXPECT_EQ(state.percent, std::nullopt);
}

TEST_F(PowerStateTest, MissingPowerServiceReadsAsMainsWithoutPercent) {
  fake.powerSources.state = std::nullopt;
  auto state = Power::current(fake.platform);
  EXPECT_FALSE(state.onBattery);
  EXPECT_EQ(state.percent, std::nullopt);

  fake.powerSources.state = PowerSourcesSnapshot{std::nullopt, {battery("InternalBattery", 1, 2)}};
  state = Power::current(fake.platform);
  EXPECT_FALSE(state.onBattery);
  EXPECT_EQ(state.percent, 50);
}

TEST_F(PowerStateTest, LockFlagReadsBooleansAndTheIntegerOne) {
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", true}};
  EXPECT_TRUE(Power::screenLocked(fake.platform));
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", 1}};
  EXPECT_TRUE(Power::screenLocked(fake.platform));
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", 2}};
  EXPECT_FALSE(Power::screenLocked(fake.platform));
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", "yes"}};
  EXPECT_FALSE(Power::screenLocked(fake.platform));
  fake.session.dictionary = PlistValue::array({true});
  EXPECT_FALSE(Power::screenLocked(fake.platform));
  fake.session.dictionary = std::nullopt;
  EXPECT_FALSE(Power::screenLocked(fake.platform));
}

TEST_F(PowerStateTest, ExternalDisplayNeedsTwoDisplaysOneNotBuiltIn) {
  fake.displays.online = {7};
  fake.displays.builtIn = {};
  EXPECT_FALSE(Power::hasExternalDisplay(fake.platform));  // a lone external display
  fake.displays.online = {1, 7};
  fake.displays.builtIn = {1};
  EXPECT_TRUE(Power::hasExternalDisplay(fake.platform));
  fake.displays.builtIn = {1, 7};
  EXPECT_FALSE(Power::hasExternalDisplay(fake.platform));
  fake.displays.builtIn = {};
  fake.displays.failList = true;
  EXPECT_FALSE(Power::hasExternalDisplay(fake.platform));
}

TEST_F(PowerStateTest, RunningAppsSkipTerminatedAndUnidentifiedAndKeepTheLastName) {
  fake.workspace.running = {{false, "org.example.Editor", "Editor"},
                            {true, "org.example.Gone", "Gone"},
                            {false, std::nullopt, "Nameless"},
                            {false, "org.example.Plain", std::nullopt},
                            {false, "org.example.Editor", "Editor 2"}};
  fake.workspace.frontmost = RunningApplication{false, std::nullopt, "Nameless"};
  auto state = Power::current(fake.platform);
  std::map<std::string, std::string> expected{{"org.example.Editor", "Editor 2"},
                                              {"org.example.Plain", "org.example.Plain"}};
  EXPECT_EQ(state.runningApps, expected);
  EXPECT_EQ(state.frontmostBundleID, std::nullopt);

  fake.workspace.frontmost = RunningApplication{false, "org.example.Editor", "Editor"};
  EXPECT_EQ(Power::current(fake.platform).frontmostBundleID, "org.example.Editor");
}

TEST_F(PowerStateTest, SnapshotCarriesLowPowerLockAndDisplays) {
  fake.powerSources.lowPowerMode = true;
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", true}};
  fake.displays.online = {1, 2};
  auto state = Power::current(fake.platform);
  EXPECT_TRUE(state.lowPowerMode);
  EXPECT_TRUE(state.screenLocked);
  EXPECT_TRUE(state.externalDisplayConnected);
}

TEST_F(PowerStateTest, AppDisplayNameUsesTheInstalledAppOrTheLastPiece) {
  fake.workspace.installed["org.example.Editor"] = "/apps/Editor.app";
  fake.workspace.installed["org.example.Tool"] = "/apps/org.example.Tool.desktop";
  fake.workspace.displayNames["/apps/org.example.Tool.desktop"] = "Handy Tool";
  EXPECT_EQ(Power::appDisplayName("org.example.Editor", fake.platform), "Editor");
  EXPECT_EQ(Power::appDisplayName("org.example.Tool", fake.platform), "Handy Tool");
  EXPECT_EQ(Power::appDisplayName("com.vendor.Thing", fake.platform), "Thing");
  EXPECT_EQ(Power::appDisplayName("nodots", fake.platform), "nodots");
  EXPECT_EQ(Power::appDisplayName("com.vendor.", fake.platform), "vendor");
  EXPECT_EQ(Power::appDisplayName("...", fake.platform), "...");
  EXPECT_EQ(Power::appDisplayName("", fake.platform), "");
}

}  // namespace
