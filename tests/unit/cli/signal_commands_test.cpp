#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "fakes/cli_harness.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

using Payload = std::map<std::string, std::string>;

class SignalCommandsTest : public ::testing::Test, protected CliHarness {
 protected:
  SignalCommandsTest() {
    fake.bundles.mainIdentifier = kAppIdentifier;
    fake.bundles.mainPath = "/Applications/Halomark.app";
    fake.instances.running = true;
    // The commands `run` starts exit 0 unless a test says otherwise.
    fake.children.result = ChildExit{0};
  }

  int signal(const std::vector<std::string>& arguments) { return CLI::signal(arguments, context); }
  int run(const std::vector<std::string>& arguments) { return CLI::runAndSignal(arguments, context); }

  // The payloads of every signal notification posted, in order.
  std::vector<Payload> payloads() const {
    std::vector<Payload> result;
    for (const auto& posted : fake.notifications.posted) {
      EXPECT_EQ(posted.name, "app.halomark.Halomark.signal");
      result.push_back(posted.userInfo.value_or(Payload{}));
    }
    return result;
  }
  std::vector<std::string> lastCommand() const {
    if (fake.children.runs.empty()) return {};
    const auto& [executable, arguments] = fake.children.runs.back();
    std::vector<std::string> words{executable};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return words;
  }
};

TEST_F(SignalCommandsTest, SignalPayloads) {
  EXPECT_EQ(signal({}), 0);
  EXPECT_EQ(signal({"--style", "GLOW", "--message", "hi"}), 0);
  EXPECT_EQ(signal({"--style", "sparkle"}), 0);
  EXPECT_EQ(signal({"--message"}), 0);
  EXPECT_EQ(signal({"stop", "--message", "bye"}), 0);
  EXPECT_EQ(signal({"STOP"}), 0);
  EXPECT_EQ(signal({"--message", "a", "--message", "b", "--style", "Double-Pulse", "--bogus"}), 0);
  EXPECT_EQ(signal({"start", "--style"}), 0);

  std::vector<Payload> expected{
      {{"action", "start"}},
      {{"action", "start"}, {"style", "steady"}, {"message", "hi"}},
      {{"action", "start"}},
      {{"action", "start"}},
      {{"action", "stop"}, {"message", "bye"}},
      {{"action", "start"}},
      {{"action", "start"}, {"message", "a"}, {"style", "doublePulse"}},
      {{"action", "start"}},
  };
  EXPECT_EQ(payloads(), expected);
  EXPECT_TRUE(fake.bundles.opened.empty());
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "");
}

TEST_F(SignalCommandsTest, EveryStyleName) {
  std::map<std::string, std::string> names{
      {"breathing", "breathing"},     {"Breathe", "breathing"},
      {"double", "doublePulse"},      {"doublepulse", "doublePulse"},
      {"doublePulse", "doublePulse"}, {"double-pulse", "doublePulse"},
      {"steady", "steady"},           {"glow", "steady"},
  };
  for (const auto& [name, raw] : names) {
    fake.notifications.posted.clear();
    signal({"--style", name});
    ASSERT_EQ(payloads().size(), 1u);
    EXPECT_EQ(payloads()[0].at("style"), raw) << name;
  }
}

TEST_F(SignalCommandsTest, ApplicationNotRunning) {
  fake.instances.running = false;
  EXPECT_EQ(signal({"stop"}), 0);
  EXPECT_TRUE(fake.notifications.posted.empty());
  EXPECT_TRUE(fake.bundles.opened.empty());

  // A start launches the application first, then posts.
  EXPECT_EQ(signal({"--message", "hi"}), 0);
  EXPECT_EQ(fake.bundles.opened, std::vector<std::string>{"/Applications/Halomark.app"});
  EXPECT_EQ(payloads(), (std::vector<Payload>{{{"action", "start"}, {"message", "hi"}}}));

  // Even a start that cannot launch anything posts and succeeds.
  fake.bundles.openError = "no such application";
  EXPECT_EQ(signal({}), 0);
  EXPECT_EQ(payloads().size(), 2u);
  EXPECT_EQ(fake.instances.checkedIdentifiers.back(), kAppIdentifier);
}

// Without a session bus (a console or ssh login) a signal cannot reach any application: the
// tool says so and fails rather than start a copy that never hears it.
TEST_F(SignalCommandsTest, WithoutANotificationServiceSignalsFail) {
  const std::string message =
      "halomark: couldn't signal Halomark: there is no D-Bus session bus to carry the request\n";
  fake.notifications.available = false;
  for (bool running : {true, false}) {
    fake.instances.running = running;
    err.str("");
    EXPECT_EQ(signal({"--message", "hi"}), 1) << running;
    EXPECT_EQ(err.str(), message);
  }
  fake.instances.running = true;
  err.str("");
  EXPECT_EQ(signal({"stop"}), 1);
  EXPECT_EQ(err.str(), message);
  EXPECT_TRUE(fake.bundles.opened.empty()) << "nothing is started";
  EXPECT_TRUE(fake.notifications.posted.empty());

  // Nothing runs, so there is nothing to stop and nothing that failed.
  fake.instances.running = false;
  err.str("");
  EXPECT_EQ(signal({"stop"}), 0);
  EXPECT_EQ(err.str(), "");

  // `run` still runs its command and passes on its status, with the note.
  fake.children.result = ChildExit{3};
  EXPECT_EQ(run({"make"}), 3);
  EXPECT_EQ(lastCommand(), (std::vector<std::string>{"/usr/bin/env", "make"}));
  EXPECT_EQ(err.str(), message);
  EXPECT_TRUE(fake.bundles.opened.empty());
}

TEST_F(SignalCommandsTest, RunParsesLeadingOptions) {
  EXPECT_EQ(run({"--", "--message", "x"}), 0);
  EXPECT_EQ(lastCommand(), (std::vector<std::string>{"/usr/bin/env", "--message", "x"}));
  EXPECT_EQ(payloads().back(), (Payload{{"action", "start"}, {"message", "Done: --message"}}));

  EXPECT_EQ(run({"make", "test"}), 0);
  EXPECT_EQ(lastCommand(), (std::vector<std::string>{"/usr/bin/env", "make", "test"}));
  EXPECT_EQ(payloads().back(), (Payload{{"action", "start"}, {"message", "Done: make"}}));

  fake.children.result = ChildExit{2};
  EXPECT_EQ(run({"--message", "Tests", "--", "make", "test"}), 2);
  EXPECT_EQ(lastCommand(), (std::vector<std::string>{"/usr/bin/env", "make", "test"}));
  EXPECT_EQ(payloads().back(), (Payload{{"action", "start"}, {"message", "Tests"}}));

  // Options end at the first word that is not one; a later one belongs to the command.
  fake.children.result = ChildExit{0};
  EXPECT_EQ(run({"--style", "steady", "--message", "one", "--message", "two", "ls", "--style", "glow"}), 0);
  EXPECT_EQ(lastCommand(), (std::vector<std::string>{"/usr/bin/env", "ls", "--style", "glow"}));
  EXPECT_EQ(payloads().back(), (Payload{{"action", "start"}, {"message", "two"}, {"style", "steady"}}));

  // An option without a value is where the command starts.
  EXPECT_EQ(run({"--message"}), 0);
  EXPECT_EQ(lastCommand(), (std::vector<std::string>{"/usr/bin/env", "--message"}));
}

TEST_F(SignalCommandsTest, RunReportsTheOutcomeWithTheCommandsName) {
  fake.children.result = ChildExit{1};
  EXPECT_EQ(run({"--style", "double", "false"}), 1);
  EXPECT_EQ(payloads().back(),
            (Payload{{"action", "start"}, {"message", "Failed (1): false"}, {"style", "doublePulse"}}));

  fake.children.result = ChildExit{130};
  EXPECT_EQ(run({"/usr/local/bin/long-build/", "--all"}), 130);
  EXPECT_EQ(payloads().back().at("message"), "Failed (130): long-build");

  // The unrecognised style is dropped by `signal`, the command still runs.
  fake.children.result = ChildExit{0};
  EXPECT_EQ(run({"--style", "sparkle", "./scripts/deploy.sh"}), 0);
  EXPECT_EQ(payloads().back(), (Payload{{"action", "start"}, {"message", "Done: deploy.sh"}}));
  EXPECT_EQ(err.str(), "");
}

TEST_F(SignalCommandsTest, RunWithoutACommandPrintsUsage) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{}, {"--message", "hi"}, {"--message", "hi", "--"}, {"--"}}) {
    err.str("");
    EXPECT_EQ(run(arguments), 2);
    EXPECT_EQ(err.str(),
              "usage: halomark run [--message \"text\"] [--style breathing|double|steady] -- <command> "
              "[args...]\n");
  }
  EXPECT_TRUE(fake.children.runs.empty());
  EXPECT_TRUE(fake.notifications.posted.empty());
}

TEST_F(SignalCommandsTest, RunnerThatCannotStart) {
  fake.children.result = ChildStartFailure{"No such file or directory"};
  EXPECT_EQ(run({"--message", "x", "make"}), 127);
  EXPECT_EQ(err.str(), "halomark: couldn't run make: No such file or directory\n");
  EXPECT_TRUE(fake.notifications.posted.empty());
}

TEST_F(SignalCommandsTest, RunStartsTheApplicationToSignal) {
  fake.instances.running = false;
  fake.children.result = ChildExit{0};
  EXPECT_EQ(run({"true"}), 0);
  EXPECT_EQ(fake.bundles.opened.size(), 1u);
  EXPECT_EQ(payloads(), (std::vector<Payload>{{{"action", "start"}, {"message", "Done: true"}}}));
}

TEST_F(SignalCommandsTest, DispatchedByTheTool) {
  EXPECT_EQ(CLI::run({"SIGNAL", "--bogus", "--style", "glow"}, context), 0);
  EXPECT_EQ(payloads(), (std::vector<Payload>{{{"action", "start"}, {"style", "steady"}}}));

  fake.children.result = ChildExit{3};
  EXPECT_EQ(CLI::run({"Run", "--", "make", "check"}, context), 3);
  EXPECT_EQ(lastCommand(), (std::vector<std::string>{"/usr/bin/env", "make", "check"}));
  EXPECT_EQ(payloads().back().at("message"), "Failed (3): make");
}

}  // namespace
