#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli.h"
#include "cli/uninstall_report.h"
#include "fakes/cli_harness.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_tree.h"
#include "formats/app_identifier.h"

namespace fs = std::filesystem;

namespace {

const std::string kFirstPromptLine =
    "This restores Apple's normal logo behavior, removes Halomark's settings and command links,\n";

class UninstallCommandTest : public ::testing::Test, protected CliHarness {
 protected:
  UninstallCommandTest() {
    fake.bundles.mainIdentifier = kAppIdentifier;
    fake.bundles.mainPath = bundle;
    fake.process.home = tree.path("home");
    fake.preferences.domains[kAppIdentifier]["setting"] = "off";
    fake.brightness.properties["LEPWMState"] = PlistDictionary{{"FinalNits", 0.0}};
    fake.trash.result = Trashed{"/trash/files/Halomark.app"};
  }

  int uninstall(bool confirmed, const std::string& input = "") {
    in.clear();
    in.str(input);
    return CLI::uninstall(prefs, confirmed, context);
  }

  TempTree tree;
  std::string bundle = tree.makeBundle("Applications/Halomark.app");
};

TEST_F(UninstallCommandTest, WithoutABundleNothingHappens) {
  fake.bundles.mainIdentifier = std::nullopt;
  fake.process.args = {tree.path("loose/halomark")};
  EXPECT_EQ(uninstall(true), 1);
  EXPECT_EQ(err.str(), "halomark: couldn't find the Halomark app to uninstall\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_TRUE(fake.instances.quitRequests.empty());
  EXPECT_TRUE(fake.trash.trashed.empty());
  EXPECT_FALSE(fake.preferences.domains.empty());
}

TEST_F(UninstallCommandTest, OnlyYOrYesInAnyCaseProceeds) {
  for (const std::string answer : {"Y\n", "YES\n", "yes\n", "yEs"}) {
    SCOPED_TRACE(answer);
    fake.trash.trashed.clear();
    out.str("");
    EXPECT_EQ(uninstall(false, answer), 0);
    EXPECT_TRUE(
        out.str().starts_with(kFirstPromptLine + "and moves " + bundle +
                              " to the Trash. Continue? [y/N] Logo restored to Apple's normal behavior.\n"));
    EXPECT_EQ(fake.trash.trashed, std::vector<std::string>{bundle});
  }
}

TEST_F(UninstallCommandTest, AnyOtherAnswerOrNoAnswerCancels) {
  for (const std::string answer : {"ye\n", "no\n", "\n", "", " yes\n", "yes \n", "y\r\n"}) {
    SCOPED_TRACE(answer);
    out.str("");
    EXPECT_EQ(uninstall(false, answer), 1);
    EXPECT_EQ(out.str(),
              kFirstPromptLine + "and moves " + bundle + " to the Trash. Continue? [y/N] Cancelled.\n");
  }
  EXPECT_TRUE(fake.instances.quitRequests.empty());
  EXPECT_TRUE(fake.trash.trashed.empty());
  EXPECT_FALSE(fake.preferences.domains.empty());
  EXPECT_EQ(err.str(), "");
}

TEST_F(UninstallCommandTest, ConfirmedRunsWithoutAskingAndReports) {
  tree.makeLink("home/bin/halomark", bundle + "/Contents/MacOS/Halomark");
  EXPECT_EQ(uninstall(true, "no\n"), 0);
  EXPECT_EQ(out.str(),
            "Logo restored to Apple's normal behavior.\n"
            "Removed command link " +
                tree.path("home/bin/halomark") +
                "\n"
                "Moved Halomark to the Trash (/trash/files/Halomark.app).\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(fake.brightness.writesOf("LEBacklightMode"), std::vector<PlistValue>{2});
  EXPECT_TRUE(fake.preferences.domains.empty());
}

TEST_F(UninstallCommandTest, APackagedInstallSaysThePackageManagerRemovesTheProgram) {
  fake.bundles.packageByPath[bundle] = "halomark";
  const std::string explanation =
      "The package halomark installed Halomark, so the package manager removes the program "
      "(sudo apt remove halomark); this does the rest for your account.\n";
  EXPECT_EQ(uninstall(false, "y\n"), 0);
  EXPECT_TRUE(out.str().starts_with(explanation + kFirstPromptLine)) << out.str();
  EXPECT_TRUE(out.str().ends_with("[y/N] Logo restored to Apple's normal behavior.\n")) << out.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(fake.trash.trashed.empty());
  EXPECT_TRUE(fake.preferences.domains.empty());

  out.str("");
  EXPECT_EQ(uninstall(true), 0);
  EXPECT_EQ(out.str(), explanation + "Logo restored to Apple's normal behavior.\n");
}

TEST_F(UninstallCommandTest, ErrorsGoToStandardErrorAndFailTheCommand) {
  fake.trash.result = TrashFailure{"Permission denied"};
  EXPECT_EQ(uninstall(true), 1);
  EXPECT_EQ(out.str(), "Logo restored to Apple's normal behavior.\n");
  EXPECT_EQ(err.str(), "halomark: Moving Halomark to the Trash: Permission denied\n");
}

TEST_F(UninstallCommandTest, AsksTheApplicationToQuitAndStopsWaitingOnceItHasGone) {
  fake.instances.running = true;
  fake.instances.checksUntilQuit = 2;
  uninstall(true);
  EXPECT_EQ(fake.instances.quitRequests, std::vector<std::string>{kAppIdentifier});
  EXPECT_EQ(fake.instances.runningChecks, 3);
  EXPECT_NEAR(fake.clock.slept, 0.4, 1e-9);
}

TEST_F(UninstallCommandTest, GivesUpWaitingAfterFiveSeconds) {
  fake.instances.running = true;
  fake.instances.checksUntilQuit = -1;
  EXPECT_EQ(uninstall(true), 0);
  EXPECT_GE(fake.clock.slept, 5.0 - 1e-6);
  EXPECT_LE(fake.clock.slept, 5.2 + 1e-6);
  EXPECT_EQ(fake.trash.trashed.size(), 1u);
}

TEST_F(UninstallCommandTest, DoesNotWaitWhenTheApplicationIsNotRunning) {
  uninstall(true);
  EXPECT_EQ(fake.instances.runningChecks, 1);
  EXPECT_EQ(fake.clock.slept, 0);
}

TEST_F(UninstallCommandTest, TheToolSkipsTheQuestionForYesAnywhereAmongTheArguments) {
  EXPECT_EQ(CLI::run({"Uninstall", "now", "-y"}, context), 0);
  EXPECT_EQ(out.str().find("Continue?"), std::string::npos);
  EXPECT_EQ(fake.trash.trashed.size(), 1u);

  out.str("");
  EXPECT_EQ(CLI::run({"uninstall", "--YES", "-yes"}, context), 1);
  EXPECT_TRUE(out.str().ends_with("Continue? [y/N] Cancelled.\n"));
}

TEST(UninstallReportTest, ListsEveryOutcomeInOrder) {
  Maintenance::UninstallResult result{"/t/Halomark.app",
                                      {"/a/halomark", "/b/halomark"},
                                      {"/usr/local/bin/halomark", "/home/ann lee/bin/halomark"},
                                      {"first", "second"},
                                      std::nullopt};
  std::ostringstream out, err;
  std::istringstream in;
  FakePlatform fake;
  CliContext context{fake.platform, out, err, in};
  CLI::reportUninstall(result, context);
  EXPECT_EQ(
      out.str(),
      "Logo restored to Apple's normal behavior.\n"
      "Removed command link /a/halomark\n"
      "Removed command link /b/halomark\n"
      "Couldn't remove /usr/local/bin/halomark \xE2\x80\x94 delete it with: sudo rm /usr/local/bin/halomark\n"
      "Couldn't remove /home/ann lee/bin/halomark \xE2\x80\x94 delete it with: sudo rm "
      "'/home/ann lee/bin/halomark'\n"
      "Moved Halomark to the Trash (/t/Halomark.app).\n");
  EXPECT_EQ(err.str(), "halomark: first\nhalomark: second\n");
}

}  // namespace
