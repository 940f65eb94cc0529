#include "cli/shell_init.h"

#include <gtest/gtest.h>

#include "fakes/cli_harness.h"

namespace {

class ShellInitTest : public ::testing::Test, protected CliHarness {
 protected:
  int command(const std::vector<std::string>& arguments) { return ShellInit::command(arguments, context); }
};

TEST_F(ShellInitTest, EachShellsSnippetCarriesTheThresholdInItsOwnUnits) {
  auto bash = ShellInit::snippet("bash", 1.5, "/usr/bin/halomark");
  auto zsh = ShellInit::snippet("zsh", 1.5, "/usr/bin/halomark");
  auto fish = ShellInit::snippet("fish", 1.5, "/usr/bin/halomark");
  ASSERT_TRUE(bash && zsh && fish);
  EXPECT_NE(bash->find("_halomark_after_us=1500000\n"), std::string::npos);
  EXPECT_NE(zsh->find("_halomark_after=1.5 "), std::string::npos);
  EXPECT_NE(fish->find("set -g _halomark_after_ms 1500\n"), std::string::npos);
  for (const auto* text : {&*bash, &*zsh, &*fish}) {
    EXPECT_EQ(text->find("@AFTER"), std::string::npos) << "every mark is filled in:\n" << *text;
    EXPECT_EQ(text->find("@TOOL@"), std::string::npos) << *text;
    EXPECT_NE(text->find("at least 1.5 seconds"), std::string::npos);
  }
  EXPECT_EQ(ShellInit::snippet("ksh", 10, "/usr/bin/halomark"), std::nullopt);
}

TEST_F(ShellInitTest, TheToolsPathIsQuotedForEachShell) {
  const std::string tool = "/opt/it's \\ here/halomark";
  EXPECT_NE(ShellInit::snippet("bash", 10, tool)->find("_halomark_tool='/opt/it'\\''s \\ here/halomark'"),
            std::string::npos);
  EXPECT_NE(ShellInit::snippet("fish", 10, tool)->find("_halomark_tool '/opt/it\\'s \\\\ here/halomark'"),
            std::string::npos);
}

TEST_F(ShellInitTest, PrintsTheSnippetForTheToolItWasStartedAs) {
  fake.process.args = {"/usr/local/bin/halomark", "shell-init", "bash"};
  EXPECT_EQ(command({"bash"}), 0);
  EXPECT_EQ(out.str(),
            *ShellInit::snippet("bash", ShellInit::kDefaultAfterSeconds, "/usr/local/bin/halomark"));
  out.str("");
  EXPECT_EQ(command({"--after", "2.25", "zsh"}), 0);
  EXPECT_EQ(out.str(), *ShellInit::snippet("zsh", 2.25, "/usr/local/bin/halomark"));
}

TEST_F(ShellInitTest, ARelativeStartFallsBackToTheBundlesExecutable) {
  fake.process.args = {"build/halomark"};
  fake.bundles.mainPath = "/home/u/build/Halomark.app";
  EXPECT_EQ(command({"fish"}), 0);
  EXPECT_NE(out.str().find("'/home/u/build/Halomark.app/Contents/MacOS/Halomark'"), std::string::npos);
}

TEST_F(ShellInitTest, BadInputIsAUsageErrorThatPrintsNoSnippet) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{{},
                                                                     {"ksh"},
                                                                     {"bash", "zsh"},
                                                                     {"bash", "--after"},
                                                                     {"bash", "--after", "0"},
                                                                     {"bash", "--after", "-3"},
                                                                     {"bash", "--after", "ten"},
                                                                     {"bash", "--after", "nan"},
                                                                     {"bash", "--after", "inf"},
                                                                     {"bash", "--after", "1e12"},
                                                                     {"bash", "--after", "5s"}}) {
    err.str("");
    EXPECT_EQ(command(arguments), 2) << ::testing::PrintToString(arguments);
    EXPECT_NE(err.str().find("usage: halomark shell-init bash|zsh|fish [--after SECONDS]"),
              std::string::npos);
  }
  EXPECT_EQ(out.str(), "");
  command({"ksh"});
  EXPECT_NE(err.str().find("knows bash, zsh and fish, not ksh"), std::string::npos);
}

}  // namespace
