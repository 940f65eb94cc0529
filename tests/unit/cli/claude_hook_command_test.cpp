#include <sstream>

#include <gtest/gtest.h>

#include "cli/cli.h"
#include "fakes/cli_harness.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"
#include "unit/hooks/temporary_home.h"

namespace {

class ClaudeHookCommandTest : public ::testing::Test, protected CliHarness {
 protected:
  ClaudeHookCommandTest() {
    fake.process.home = home.home;
    fake.bundles.mainIdentifier = kAppIdentifier;
    fake.bundles.mainPath = "/Applications/Halomark.app";
  }
  int run(std::vector<std::string> arguments) {
    out.str("");
    err.str("");
    return CLI::claudeHook(arguments, context);
  }

  TemporaryHome home;
};

TEST_F(ClaudeHookCommandTest, StatusInstallAndRemoveSayWhatTheyDid) {
  EXPECT_EQ(run({}), 0);
  EXPECT_EQ(out.str(), "Claude Code hooks: not installed\n");

  EXPECT_EQ(run({"install", "ignored"}), 0);
  EXPECT_EQ(out.str(),
            "Claude Code will now pulse the logo when it needs your permission or input.\n"
            "(Added to " +
                home.settings + "; a backup is next to it.)\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_NE(home.settingsText().find("/Applications/Halomark.app/Contents/MacOS/Halomark"),
            std::string::npos);

  EXPECT_EQ(run({"status"}), 0);
  EXPECT_EQ(out.str(), "Claude Code hooks: installed\n");

  EXPECT_EQ(run({"remove"}), 0);
  EXPECT_EQ(out.str(), "Removed Halomark's hooks from " + home.settings + ".\n");
  EXPECT_EQ(home.settingsJson(), nlohmann::json::object());
  EXPECT_EQ(run({}), 0);
  EXPECT_EQ(out.str(), "Claude Code hooks: not installed\n");
}

TEST_F(ClaudeHookCommandTest, ActionsMatchExactly) {
  for (std::vector<std::string> arguments :
       {std::vector<std::string>{"Install"}, {"STATUS"}, {""}, {"--remove"}}) {
    EXPECT_EQ(run(arguments), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "usage: halomark claude-hook install|remove|status\n");
  }
  EXPECT_FALSE(std::filesystem::exists(home.settings));
}

TEST_F(ClaudeHookCommandTest, FailuresPrintTheDescriptionAndLeaveTheFile) {
  EXPECT_EQ(run({"remove"}), 0);
  EXPECT_EQ(out.str(), "Removed Halomark's hooks from " + home.settings + ".\n");
  EXPECT_FALSE(std::filesystem::exists(home.settings));

  home.writeSettings("[\"not an object\"]");
  for (const char* action : {"install", "remove"}) {
    EXPECT_EQ(run({action}), 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "halomark: Couldn't read Claude Code's settings: it isn't a JSON object\n");
  }
  EXPECT_EQ(run({"status"}), 0);
  EXPECT_EQ(out.str(), "Claude Code hooks: not installed\n");

  home.writeSettings("{\"model\": ");
  EXPECT_EQ(run({"install"}), 1);
  EXPECT_EQ(err.str().rfind("halomark: " + home.settings + ": parse error at line 1", 0), 0u) << err.str();

  home.writeSettings("{}");
  fake.files.failWith = "couldn't write " + home.settings + ": No space left on device";
  EXPECT_EQ(run({"install"}), 1);
  EXPECT_EQ(err.str(), "halomark: couldn't write " + home.settings + ": No space left on device\n");
  EXPECT_EQ(home.settingsText(), "{}");

  // An executable copied out of any bundle has no app to point the hooks at.
  fake.files.failWith.reset();
  fake.files.written.clear();
  fake.bundles.mainIdentifier.reset();
  fake.process.args = {"/usr/local/bin/halomark"};
  EXPECT_EQ(run({"install"}), 1);
  EXPECT_EQ(err.str(), "halomark: couldn't find the Halomark app\n");
  EXPECT_EQ(home.settingsText(), "{}");
  EXPECT_TRUE(fake.files.written.empty());
}

}  // namespace
