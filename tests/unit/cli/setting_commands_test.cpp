#include "cli/setting_commands.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fakes/cli_harness.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

const char* const kBadNumber = "halomark: set needs a number of nits, e.g. halomark set 80\n";

class SettingCommandsTest : public ::testing::Test, protected CliHarness {
 protected:
  SettingCommandsTest() { fake.instances.running = true; }
  int run(const std::vector<std::string>& arguments) { return CLI::run(arguments, context); }
  PlistDictionary& stored() { return fake.preferences.domains[kAppIdentifier]; }
  Setting setting() { return prefs.setting(); }
  // Each committed change synchronises, notifies the running application once and waits 1.2 s.
  void expectCommits(int count) {
    EXPECT_EQ(fake.preferences.synchronizeCount, count);
    ASSERT_EQ(fake.notifications.posted.size(), static_cast<std::size_t>(count));
    for (const auto& posted : fake.notifications.posted) {
      EXPECT_EQ(posted.name, "app.halomark.Halomark.prefsChanged");
      EXPECT_EQ(posted.userInfo, std::nullopt);
    }
    EXPECT_DOUBLE_EQ(fake.clock.slept, 1.2 * count);
    EXPECT_TRUE(fake.bundles.opened.empty());
  }
};

TEST_F(SettingCommandsTest, OffKeepsTheLastOnSettingAndOnBringsItBack) {
  prefs.setSetting(Setting::fixed(80));
  EXPECT_EQ(run({"off"}), 0);
  EXPECT_EQ(stored().at("setting"), "off");
  EXPECT_EQ(stored().at("lastOn"), "fixed");
  EXPECT_EQ(stored().at("fixedNits"), 80.0);
  EXPECT_EQ(run({"on"}), 0);
  EXPECT_EQ(setting(), Setting::fixed(80));
  expectCommits(2);
  EXPECT_EQ(out.str(),
            "Setting:      Off\nHalomark app: running\n"
            "Setting:      Fixed, 80 nits\nHalomark app: running\n");
  EXPECT_EQ(err.str(), "");
}

TEST_F(SettingCommandsTest, OnForAFreshUserIsAutomatic) {
  EXPECT_EQ(run({"ON"}), 0);
  EXPECT_EQ(stored().at("setting"), "automatic");
  EXPECT_EQ(stored().at("lastOn"), "automatic");
  expectCommits(1);
}

TEST_F(SettingCommandsTest, ToggleTwiceReturnsToAutomaticAndWorksInCapitals) {
  EXPECT_EQ(run({"TOGGLE"}), 0);
  EXPECT_EQ(setting(), Setting::off());
  EXPECT_EQ(run({"toggle"}), 0);
  EXPECT_EQ(setting(), Setting::automatic());
  expectCommits(2);
}

TEST_F(SettingCommandsTest, ToggleFromFixedRemembersTheBrightness) {
  prefs.setSetting(Setting::fixed(300));
  run({"toggle"});
  EXPECT_EQ(stored().at("setting"), "off");
  run({"Toggle"});
  EXPECT_EQ(setting(), Setting::fixed(300));
}

TEST_F(SettingCommandsTest, AutoAndAutomaticFollowTheDisplayButKeepTheNits) {
  prefs.setSetting(Setting::fixed(80));
  EXPECT_EQ(run({"auto"}), 0);
  EXPECT_EQ(stored().at("setting"), "automatic");
  EXPECT_EQ(stored().at("lastOn"), "automatic");
  EXPECT_EQ(stored().at("fixedNits"), 80.0);
  prefs.setSetting(Setting::off());
  EXPECT_EQ(run({"Automatic"}), 0);
  EXPECT_EQ(setting(), Setting::automatic());
  expectCommits(2);
}

TEST_F(SettingCommandsTest, ResetTurnsIgnoreLimitsBackOn) {
  prefs.setSetting(Setting::fixed(80));
  prefs.set("ignoreLimits", false);
  prefs.set("offOnBattery", true);
  EXPECT_EQ(run({"reset"}), 0);
  EXPECT_EQ(stored().at("setting"), "automatic");
  EXPECT_EQ(stored().at("lastOn"), "automatic");
  EXPECT_EQ(stored().at("ignoreLimits"), true);
  // Only the logo setting is reset; the automation rules stay.
  EXPECT_EQ(stored().at("offOnBattery"), true);
  expectCommits(1);
}

TEST_F(SettingCommandsTest, AChangeThatCouldNotBeSavedFailsAndChangesNothing) {
  prefs.setSetting(Setting::fixed(70));
  auto before = stored();
  fake.preferences.refusesWrites = true;
  for (const char* command : {"on", "off", "toggle", "auto", "reset"}) {
    err.str("");
    EXPECT_EQ(run({command}), 1) << command;
    EXPECT_EQ(err.str(), "halomark: couldn't save the setting\n") << command;
  }
  err.str("");
  out.str("");
  EXPECT_EQ(run({"set", "44"}), 1);
  EXPECT_EQ(err.str(), "halomark: couldn't save the setting\n");
  EXPECT_EQ(stored(), before) << "nothing of any change is stored";
  // Nothing to apply, so the application is not told and nothing waits for it; the report still
  // shows what holds.
  EXPECT_TRUE(fake.notifications.posted.empty());
  EXPECT_DOUBLE_EQ(fake.clock.slept, 0);
  EXPECT_EQ(out.str(), "Setting:      Fixed, 70 nits\nHalomark app: running\n");
}

TEST_F(SettingCommandsTest, SetAcceptsNitsInAnyCase) {
  for (const char* value : {"80", "80nits", "80NITS", "nits80", "8nits0", "+80", "80.0", "8e1"}) {
    prefs.setSetting(Setting::automatic());
    EXPECT_EQ(run({"set", value}), 0) << value;
    EXPECT_EQ(setting(), Setting::fixed(80)) << value;
    EXPECT_EQ(stored().at("lastOn"), "fixed");
  }
  EXPECT_EQ(err.str(), "");
  expectCommits(8);
}

TEST_F(SettingCommandsTest, SetRejectsAnythingButOneFiniteNumber) {
  std::vector<std::vector<std::string>> bad{
      {"set"},         {"set", "80", "nits"}, {"set", "80", "80"}, {"set", "inf"},       {"set", "-inf"},
      {"set", "nan"},  {"set", "NaNnits"},    {"set", " 80"},      {"set", "80 "},       {"set", ""},
      {"set", "nits"}, {"set", "eighty"},     {"set", "80%"},      {"set", "0x50"},      {"set", "++80"},
      {"set", "+-80"}, {"set", "1e999"},      {"set", "8,0"},      {"set", "ninitsts80"}};
  for (const auto& arguments : bad) {
    err.str("");
    EXPECT_EQ(run(arguments), 2) << arguments.back();
    EXPECT_EQ(err.str(), kBadNumber) << arguments.back();
  }
  EXPECT_EQ(out.str(), "");
  EXPECT_TRUE(stored().empty());
  expectCommits(0);
}

TEST_F(SettingCommandsTest, SetWarnsAndClampsOutOfRange) {
  EXPECT_EQ(run({"set", "0"}), 0);
  EXPECT_EQ(err.str(),
            "halomark: using 12.5 nits (allowed range is 12.5\xE2\x80\x93"
            "1000)\n");
  EXPECT_EQ(setting(), Setting::fixed(12.5));

  err.str("");
  EXPECT_EQ(run({"set", "2000"}), 0);
  EXPECT_EQ(err.str(),
            "halomark: using 1,000 nits (allowed range is 12.5\xE2\x80\x93"
            "1000)\n");
  EXPECT_EQ(setting(), Setting::fixed(1000));

  err.str("");
  EXPECT_EQ(run({"set", "1e-5000"}), 0) << "a finite number too small for any floating-point type";
  EXPECT_EQ(err.str(),
            "halomark: using 12.5 nits (allowed range is 12.5\xE2\x80\x93"
            "1000)\n");
  EXPECT_EQ(setting(), Setting::fixed(12.5));

  err.str("");
  EXPECT_EQ(run({"set", "1e3"}), 0);
  EXPECT_EQ(run({"set", "12.5"}), 0);
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(setting(), Setting::fixed(12.5));
  expectCommits(5);
}

TEST_F(SettingCommandsTest, WarningFollowsTheUsersLocale) {
  fake.locale.decimalMark = ",";
  fake.locale.groupSeparator = ".";
  EXPECT_EQ(run({"set", "-3"}), 0);
  EXPECT_EQ(run({"set", "5000nits"}), 0);
  EXPECT_EQ(err.str(),
            "halomark: using 12,5 nits (allowed range is 12,5\xE2\x80\x93"
            "1000)\n"
            "halomark: using 1.000 nits (allowed range is 12,5\xE2\x80\x93"
            "1000)\n");
  // Parsing does not depend on the locale: the decimal mark typed is always a point.
  err.str("");
  EXPECT_EQ(run({"set", "12,5"}), 2);
  EXPECT_EQ(err.str(), kBadNumber);
  EXPECT_EQ(run({"set", "99.5"}), 0);
  EXPECT_EQ(setting(), Setting::fixed(99.5));
}

TEST_F(SettingCommandsTest, ParseNitsHandlesEdges) {
  EXPECT_EQ(CLI::parseNits("80.1"), 80.1);
  EXPECT_EQ(CLI::parseNits("1e-400"), 0.0);
  // Beyond even the widest floating-point type, still a finite number too small for the range.
  EXPECT_EQ(CLI::parseNits("1e-5000"), 0.0);
  EXPECT_EQ(CLI::parseNits("-1e-99999999999999999999"), 0.0);
  EXPECT_EQ(CLI::parseNits("0.00001e-4990"), 0.0);
  EXPECT_EQ(CLI::parseNits("100000e-5005nits"), 0.0);
  EXPECT_EQ(CLI::parseNits("1e5000"), std::nullopt);
  EXPECT_EQ(CLI::parseNits("0.001e5000"), std::nullopt);
  EXPECT_EQ(CLI::parseNits("1e99999999999999999999"), std::nullopt);
  EXPECT_EQ(CLI::parseNits("4e-320"), 4e-320);
  EXPECT_EQ(CLI::parseNits("-0"), -0.0);
  EXPECT_EQ(CLI::parseNits(".5"), 0.5);
  EXPECT_EQ(CLI::parseNits("infinity"), std::nullopt);
  EXPECT_EQ(CLI::parseNits("+"), std::nullopt);
  EXPECT_EQ(CLI::parseNits("-"), std::nullopt);
}

}  // namespace
