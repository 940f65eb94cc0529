#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "fakes/cli_harness.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

class TalkToAppTest : public ::testing::Test, protected CliHarness {
 protected:
};

TEST_F(TalkToAppTest, RunningApplicationGetsExactlyOneNotification) {
  fake.instances.running = true;
  EXPECT_EQ(CLI::run({"off"}, context), 0);
  // The running check, then the report's.
  EXPECT_EQ(fake.instances.checkedIdentifiers, (std::vector<std::string>{kAppIdentifier, kAppIdentifier}));
  ASSERT_EQ(fake.notifications.posted.size(), 1u);
  EXPECT_EQ(fake.notifications.posted[0].name, "app.halomark.Halomark.prefsChanged");
  EXPECT_TRUE(fake.bundles.opened.empty());
  EXPECT_EQ(err.str(), "");
}

TEST_F(TalkToAppTest, StartsTheApplicationFromTheToolsBundle) {
  fake.process.args = {"/Applications/Halomark.app/Contents/MacOS/Halomark", "off"};
  CLI::notifyApp(context);
  EXPECT_EQ(fake.bundles.opened, std::vector<std::string>{"/Applications/Halomark.app"});
  EXPECT_EQ(fake.bundles.lastTimeout, 10.0);
  EXPECT_EQ(fake.clock.slept, 1.5);
  // The started application applies the stored setting by itself.
  EXPECT_TRUE(fake.notifications.posted.empty());
  EXPECT_EQ(err.str(), "");
}

TEST_F(TalkToAppTest, NoBundleToStartIsReportedAndTheCommandStillSucceeds) {
  fake.process.args = {"/usr/local/bin/Halomark"};
  EXPECT_EQ(CLI::run({"off"}, context), 0);
  EXPECT_EQ(err.str(), "halomark: Halomark isn't running and its app couldn't be found to start it\n");
  EXPECT_TRUE(fake.bundles.opened.empty());
  EXPECT_EQ(fake.preferences.domains[kAppIdentifier].at("setting"), "off");
  EXPECT_DOUBLE_EQ(fake.clock.slept, 1.2);
}

TEST_F(TalkToAppTest, NotifyIgnoresTheMainBundle) {
  // Only the tool's own path counts for notifyApp, even when the main bundle is the application.
  fake.bundles.mainIdentifier = kAppIdentifier;
  fake.bundles.mainPath = "/Applications/Halomark.app";
  fake.process.args = {"/tmp/Halomark"};
  CLI::notifyApp(context);
  EXPECT_TRUE(fake.bundles.opened.empty());
  EXPECT_NE(err.str(), "");
}

TEST_F(TalkToAppTest, OpenErrorIsReported) {
  fake.bundles.openError = "No such file or directory";
  CLI::notifyApp(context);
  EXPECT_EQ(err.str(), "halomark: couldn't start Halomark: No such file or directory\n");
  EXPECT_EQ(fake.clock.slept, 1.5);
}

TEST_F(TalkToAppTest, LaunchUsesTheBundleAndStaysSilent) {
  fake.bundles.mainIdentifier = kAppIdentifier;
  fake.bundles.mainPath = "/opt/Halomark.app";
  fake.bundles.openError = "refused";
  CLI::launchApp(context);
  EXPECT_EQ(fake.bundles.opened, std::vector<std::string>{"/opt/Halomark.app"});
  EXPECT_EQ(fake.clock.slept, 1.5);
  EXPECT_EQ(err.str(), "");

  fake.bundles.mainIdentifier.reset();
  fake.process.args = {"/usr/bin/Halomark"};
  CLI::launchApp(context);
  EXPECT_EQ(fake.bundles.opened.size(), 1u);
  EXPECT_EQ(fake.clock.slept, 1.5);
}

}  // namespace
