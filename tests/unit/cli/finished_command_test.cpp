#include "cli/finished_command.h"

#include <gtest/gtest.h>

#include <map>

#include "fakes/cli_harness.h"
#include "formats/app_identifier.h"

namespace {

using Payload = std::map<std::string, std::string>;

TEST(FirstCommandName, IsTheFirstWordsLastPathComponent) {
  EXPECT_EQ(FinishedCommand::firstCommandName("make -j4"), "make");
  EXPECT_EQ(FinishedCommand::firstCommandName("  /usr/bin/make install"), "make");
  EXPECT_EQ(FinishedCommand::firstCommandName("sh -c 'sleep 1.2; exit 3'"), "sh");
  EXPECT_EQ(FinishedCommand::firstCommandName("make && make install"), "make");
  EXPECT_EQ(FinishedCommand::firstCommandName("make|tee log"), "make");
  EXPECT_EQ(FinishedCommand::firstCommandName("cd build; make"), "cd");
  EXPECT_EQ(FinishedCommand::firstCommandName("sudo apt upgrade"), "sudo") << "as `run sudo ...` names it";
}

TEST(FirstCommandName, LooksPastAssignmentsGroupingAndQuotes) {
  EXPECT_EQ(FinishedCommand::firstCommandName("CC=clang CFLAGS='-O2 -g' make"), "make");
  EXPECT_EQ(FinishedCommand::firstCommandName("(cd build && ninja)"), "cd");
  EXPECT_EQ(FinishedCommand::firstCommandName("{ make; }"), "make");
  EXPECT_EQ(FinishedCommand::firstCommandName("! make check"), "make");
  EXPECT_EQ(FinishedCommand::firstCommandName("'./my tool' --go"), "my tool");
  EXPECT_EQ(FinishedCommand::firstCommandName("\"$HOME/bin/x\""), "x");
  EXPECT_EQ(FinishedCommand::firstCommandName("my\\ tool"), "my tool");
  EXPECT_EQ(FinishedCommand::firstCommandName("2=x make"), "2=x") << "not an assignment: a command";
}

TEST(FirstCommandName, TheWordsOfTheFirstCommandOnly) {
  EXPECT_EQ(FinishedCommand::firstCommand("A=1 sh -c 'sleep 1; exit 3' && ls"),
            (std::vector<std::string>{"sh", "-c", "sleep 1; exit 3"}));
  EXPECT_EQ(FinishedCommand::firstCommand("(bash)"), (std::vector<std::string>{"bash"}));
}

TEST(FirstCommandName, NoneForALineWithoutACommand) {
  EXPECT_EQ(FinishedCommand::firstCommandName(""), std::nullopt);
  EXPECT_EQ(FinishedCommand::firstCommandName("   "), std::nullopt);
  EXPECT_EQ(FinishedCommand::firstCommandName("FOO=1"), std::nullopt);
  EXPECT_EQ(FinishedCommand::firstCommandName("; make"), std::nullopt);
  EXPECT_EQ(FinishedCommand::firstCommandName("''"), std::nullopt);
}

TEST(InteractiveCommands, DefaultsAndTheUsersListInAnySeparator) {
  for (const char* name : {"vim", "less", "man", "ssh", "tmux", "bash", "halomark"})
    EXPECT_TRUE(FinishedCommand::defaultInteractive().count(name)) << name;
  EXPECT_FALSE(FinishedCommand::defaultInteractive().count("make"));
  using Words = std::vector<std::string>;
  EXPECT_TRUE(FinishedCommand::isInteractive(Words{"/usr/bin/vim", "x"}, {}));
  EXPECT_TRUE(FinishedCommand::isInteractive(Words{"zsh", "-l"}, {}));
  EXPECT_FALSE(FinishedCommand::isInteractive(Words{"sh", "-c", "sleep 9"}, {}))
      << "a shell running a command";
  EXPECT_FALSE(FinishedCommand::isInteractive(Words{"bash", "build.sh"}, {})) << "a shell running a script";
  EXPECT_FALSE(FinishedCommand::isInteractive(Words{"make"}, {}));
  EXPECT_TRUE(FinishedCommand::isInteractive(Words{"make"}, {"make"}));
  EXPECT_FALSE(FinishedCommand::isInteractive(Words{}, {"make"}));
  EXPECT_EQ(FinishedCommand::namesIn(" lazygit, k9s:ranger  mc "),
            (std::set<std::string>{"k9s", "lazygit", "mc", "ranger"}));
  EXPECT_TRUE(FinishedCommand::namesIn("").empty());
}

class ShellDoneTest : public ::testing::Test, protected CliHarness {
 protected:
  ShellDoneTest() { fake.instances.running = true; }
  int report(const std::vector<std::string>& arguments) {
    return FinishedCommand::report(arguments, context);
  }
  std::vector<Payload> payloads() const {
    std::vector<Payload> result;
    for (const auto& posted : fake.notifications.posted)
      result.push_back(posted.userInfo.value_or(Payload{}));
    return result;
  }
};

TEST_F(ShellDoneTest, SignalsTheOutcomeInRunsWordsWithTheStoredStyle) {
  EXPECT_EQ(report({"--status", "0", "--", "make -j4"}), 0);
  EXPECT_EQ(report({"--status", "3", "--window", "", "--interactive", "", "--", "sh -c 'exit 3'"}), 0);
  EXPECT_EQ(report({"--status", "2", "--", "/usr/bin/make", "all"}), 0) << "words joined into one line";
  EXPECT_EQ(payloads(), (std::vector<Payload>{{{"action", "start"}, {"message", "Done: make"}},
                                              {{"action", "start"}, {"message", "Failed (3): sh"}},
                                              {{"action", "start"}, {"message", "Failed (2): make"}}}));
  EXPECT_EQ(err.str(), "");
}

TEST_F(ShellDoneTest, InteractiveInterruptedOrWatchedCommandsStayQuiet) {
  EXPECT_EQ(report({"--status", "0", "--", "less README"}), 0);
  EXPECT_EQ(report({"--status", "0", "--interactive", "lazygit k9s", "--", "k9s"}), 0);
  EXPECT_EQ(report({"--status", "130", "--", "make"}), 0) << "Control-C: the user is there";
  EXPECT_EQ(report({"--status", "148", "--", "make"}), 0) << "Control-Z: stopped, not ended";
  EXPECT_EQ(report({"--status", "147", "--", "make"}), 0) << "SIGSTOP";
  EXPECT_EQ(report({"--status", "150", "--", "make"}), 0) << "SIGTTOU";
  fake.workspace.focusedWindow = 41;
  EXPECT_EQ(report({"--status", "0", "--window", "41", "--", "make"}), 0) << "its terminal has the focus";
  EXPECT_EQ(report({"--status", "0", "--", ""}), 0);
  EXPECT_TRUE(fake.notifications.posted.empty());

  EXPECT_EQ(report({"--status", "0", "--window", "42", "--", "make"}), 0) << "another window has it";
  fake.workspace.focusedWindow.reset();
  EXPECT_EQ(report({"--status", "0", "--window", "41", "--", "make"}), 0) << "no desktop says which";
  EXPECT_EQ(report({"--status", "0", "--window", "not-a-window", "--", "make"}), 0);
  EXPECT_EQ(report({"--status", "143", "--", "make"}), 0) << "ended by SIGTERM: it did end";
  EXPECT_EQ(report({"--status", "151", "--", "make"}), 0) << "past the stop signals";
  EXPECT_EQ(fake.notifications.posted.size(), 5u);
}

TEST_F(ShellDoneTest, MalformedReportsAreUsageErrorsAndSignalNothing) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"--", "make"},
                                                                     {"--status", "x", "--", "make"},
                                                                     {"--status"},
                                                                     {"--bogus", "1", "--status", "0"}}) {
    err.str("");
    EXPECT_EQ(report(arguments), 2);
    EXPECT_NE(err.str().find("usage: halomark shell-done"), std::string::npos);
  }
  EXPECT_TRUE(fake.notifications.posted.empty());
}

}  // namespace
