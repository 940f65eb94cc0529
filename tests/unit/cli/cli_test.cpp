#include "cli/cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fakes/cli_harness.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

class CliTest : public ::testing::Test, protected CliHarness {
 protected:
  CliTest() { fake.instances.running = true; }
  int run(const std::vector<std::string>& arguments) { return CLI::run(arguments, context); }
  PlistDictionary& stored() { return fake.preferences.domains[kAppIdentifier]; }
};

const char* const kEnglishUsage =
    "Usage: halomark <command>\n\n"
    "  status        Show the logo's setting and current brightness\n"
    "  on            Turn the logo on (back to its last on setting)\n"
    "  off           Turn the logo off\n"
    "  toggle        Switch between off and the last on setting\n"
    "  auto          Follow the display (Apple's default behavior)\n"
    "  set <nits>    Fixed brightness, 12.5\xE2\x80\x93"
    "1000 nits (e.g. halomark set 80)\n"
    "  reset         Give the logo back to Apple's normal behavior\n"
    "  uninstall     Restore Apple's behavior and move Halomark to the Trash (asks first; --yes to skip)\n"
    "  signal [stop] Pulse the logo until you come back to the Mac, or stop it\n"
    "                (--message \"text\", --style breathing|double|steady)\n"
    "  run [--message \"text\"] -- <command> [args...]\n"
    "                Run a command and signal the logo when it finishes\n"
    "  claude-hook install|remove|status\n"
    "                Make Claude Code signal when it needs your input\n"
    "  led [list]    List the lights Halomark can drive as the logo\n"
    "  led use <name>|auto\n"
    "                Drive that light as the logo, or the first logo light again\n"
    "  version       Show Halomark's version\n\n"
    "Automation rules and other options are in Halomark's menu and Settings.";

TEST_F(CliTest, UsageTextIsExact) {
  EXPECT_EQ(CLI::usage(fake.locale), kEnglishUsage);
  fake.locale.decimalMark = ",";
  fake.locale.groupSeparator = ".";
  auto german = CLI::usage(fake.locale);
  EXPECT_NE(german.find("Fixed brightness, 12,5\xE2\x80\x93"
                        "1000 nits"),
            std::string::npos);
}

TEST_F(CliTest, HelpGoesToStandardOutput) {
  for (const char* word : {"help", "-h", "--help", "HELP", "-H", "--Help"}) {
    out.str("");
    EXPECT_EQ(run({word}), 0) << word;
    EXPECT_EQ(out.str(), std::string(kEnglishUsage) + "\n") << word;
  }
  EXPECT_EQ(err.str(), "");
}

TEST_F(CliTest, UnknownCommandsAreUsageErrors) {
  for (std::vector<std::string> arguments :
       std::vector<std::vector<std::string>>{{"YES"}, {"bogus", "on"}, {""}, {"helpme"}, {}}) {
    err.str("");
    EXPECT_EQ(run(arguments), 2);
    EXPECT_EQ(err.str(), std::string(kEnglishUsage) + "\n");
  }
  EXPECT_EQ(out.str(), "");
  EXPECT_TRUE(stored().empty());
  EXPECT_TRUE(fake.notifications.posted.empty());
}

TEST_F(CliTest, StatusReportsAndWritesNothing) {
  for (const char* word : {"status", "STATUS"}) {
    out.str("");
    EXPECT_EQ(run({word}), 0) << word;
    EXPECT_EQ(out.str(), "Setting:      Automatic (follows display)\nHalomark app: running\n") << word;
  }
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(stored().empty());
  EXPECT_TRUE(fake.notifications.posted.empty());
  EXPECT_EQ(fake.clock.slept, 0);
}

TEST_F(CliTest, VersionPrintsTheBundleValues) {
  fake.bundles.infoByPath["/Applications/Halomark.app"] = {{"CFBundleShortVersionString", "1.4"},
                                                           {"CFBundleVersion", "27"}};
  EXPECT_EQ(run({"version"}), 0);
  EXPECT_EQ(run({"--Version"}), 0);
  EXPECT_EQ(out.str(), "Halomark 1.4 (27)\nHalomark 1.4 (27)\n");

  out.str("");
  fake.bundles.infoByPath.clear();
  EXPECT_EQ(run({"version"}), 0);
  EXPECT_EQ(out.str(), "Halomark ? (?)\n");
  EXPECT_TRUE(fake.notifications.posted.empty());
  EXPECT_EQ(fake.clock.slept, 0);
}

TEST_F(CliTest, MigratesLegacyPreferencesBeforeAnyCommand) {
  fake.preferences.domains[kLegacyIdentifier1] = {{"setting", "off"}, {"offOnBattery", true}};
  EXPECT_EQ(run({"version"}), 0);
  EXPECT_EQ(stored().at("setting"), "off");
  EXPECT_EQ(fake.preferences.domains.count(kLegacyIdentifier1), 0u);

  // The command then sees the migrated values: "on" returns from the legacy off.
  fake.preferences.domains.erase(kAppIdentifier);
  fake.preferences.domains[kLegacyIdentifier2] = {
      {"setting", "off"}, {"lastOn", "fixed"}, {"fixedNits", 80.0}};
  EXPECT_EQ(run({"on"}), 0);
  EXPECT_EQ(stored().at("setting"), "fixed");
  EXPECT_EQ(stored().at("fixedNits"), 80.0);
}

}  // namespace
