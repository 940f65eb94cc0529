// `halomark status --json` and `--follow` end to end: the report in every state the sandbox can
// bring about, checked against the installed schema, and a follower that keeps up with the
// application starting, quitting and crashing and ends cleanly however it is asked to.
#include <gtest/gtest.h>
#include <signal.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "integration/sandbox.h"

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

std::vector<json> jsonLines(const std::string& text) {
  std::vector<json> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(json::parse(line, nullptr, false));
  return lines;
}

int localHour() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return local.tm_hour;
}

class StatusIntegrationTest : public ::testing::Test {
 protected:
  // Setting commands run from a copy outside any bundle, which never starts the application.
  void SetUp() override {
    fs::create_directories(sandbox.root() + "/loose");
    fs::copy_file(Sandbox::executable(), loose);
  }

  ProcessResult tool(const std::vector<std::string>& arguments) {
    return sandbox.runProgram(loose, arguments);
  }

  json storedPrefs() {
    std::ifstream in(sandbox.preferencesFile());
    return in ? json::parse(in, nullptr, false) : json::object();
  }
  void store(const json& contents) {
    fs::create_directories(fs::path(sandbox.preferencesFile()).parent_path());
    std::ofstream(sandbox.preferencesFile()) << contents.dump();
  }

  // `status --json`, kept for the schema check.
  json status() {
    auto result = sandbox.run({"status", "--json"});
    EXPECT_EQ(result.status, 0) << result.err;
    reports += result.out;
    return json::parse(result.out, nullptr, false);
  }

  void startApp() {
    app = sandbox.spawnApp();
    ASSERT_TRUE(Sandbox::waitUntil([&] { return status()["app"]["running"] == true; }, 15));
  }

  pid_t follow(const std::vector<std::string>& options = {"--json"}) {
    std::vector<std::string> arguments{"status", "--follow"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return sandbox.spawn(Sandbox::commandLink(), arguments);
  }
  std::vector<json> followed(pid_t follower) { return jsonLines(sandbox.output(follower).out); }
  // Waits until the follower's last line satisfies `condition`.
  bool followedTo(pid_t follower, const std::function<bool(const json&)>& condition) {
    return Sandbox::waitUntil(
        [&] {
          auto lines = followed(follower);
          return !lines.empty() && condition(lines.back());
        },
        10);
  }

  // Every report printed in the test, one per line, validated against the installed schema.
  void expectAllMatchTheSchema(const std::string& extra = {}) {
    std::string file = sandbox.root() + "/reports.jsonl";
    std::ofstream(file) << reports << extra;
    auto checked = sandbox.runProgram(
        "/usr/bin/python3", {std::string(HALOMARK_TEST_DATA) + "/check_status_schema.py",
                             std::string(HALOMARK_TEST_DATA) + "/../../resources/status.schema.json", file});
    EXPECT_EQ(checked.status, 0) << checked.out << checked.err;
  }

  Sandbox sandbox;
  std::string loose = sandbox.root() + "/loose/halomark";
  std::string reports;
  pid_t app = -1;
};

TEST_F(StatusIntegrationTest, EveryStateReportsWhatTheTextSaysAndMatchesTheSchema) {
  auto bare = status();
  EXPECT_EQ(bare["logo"]["nits"], nullptr);
  EXPECT_EQ(bare["logo"]["unavailable"], "noLogoHardware");
  EXPECT_EQ(bare["light"], nullptr);

  ASSERT_EQ(sandbox.device({"create"}).status, 0);
  auto automatic = status();
  EXPECT_EQ(automatic["setting"], (json{{"kind", "automatic"}, {"nits", nullptr}}));
  EXPECT_EQ(automatic["rule"], nullptr);
  EXPECT_EQ(automatic["light"]["kind"], "emulated");
  EXPECT_EQ(automatic["app"]["running"], false);
  EXPECT_EQ(automatic["signal"]["active"], false);
  EXPECT_TRUE(automatic["logo"]["nits"].is_number());

  ASSERT_EQ(tool({"set", "80"}).status, 0);
  EXPECT_EQ(status()["setting"], (json{{"kind", "fixed"}, {"nits", 80.0}}));
  ASSERT_EQ(tool({"off"}).status, 0);
  auto off = status();
  EXPECT_EQ(off["setting"]["kind"], "off");
  EXPECT_EQ(off["lastOn"], (json{{"kind", "fixed"}, {"nits", 80.0}}));
  EXPECT_EQ(off["effective"]["kind"], "off");

  // Quiet Hours from this hour until the one before it: in force whenever the test runs.
  int hour = localHour();
  int end = (hour + 23) % 24;
  json quiet = storedPrefs();
  quiet.update({{"setting", "fixed"},
                {"quietHoursEnabled", true},
                {"quietHoursStartHour", hour},
                {"quietHoursEndHour", end},
                {"quietHoursAction", "off"}});
  store(quiet);
  auto held = status();
  std::string endTime = (end < 10 ? "0" : "") + std::to_string(end) + ":00";
  EXPECT_EQ(held["rule"], (json{{"source", "quietHours"},
                                {"action", "off"},
                                {"reason", "Quiet Hours"},
                                {"nits", nullptr},
                                {"until", {{"kind", "localTime"}, {"time", endTime}}}}));
  EXPECT_EQ(held["effective"]["kind"], "off");
  auto text = sandbox.run({"status"}).out;
  EXPECT_NE(text.find("Quiet Hours"), std::string::npos) << text;

  quiet["quietHoursAction"] = "dim";
  store(quiet);
  auto dimmed = status();
  EXPECT_EQ(dimmed["rule"]["action"], "dim");
  EXPECT_EQ(dimmed["effective"]["kind"], "fixed");
  EXPECT_EQ(dimmed["effective"]["nits"], dimmed["rule"]["nits"]);
  auto panel = json::parse(sandbox.run({"status", "--format", "waybar"}).out, nullptr, false);
  EXPECT_EQ(panel["alt"], "dimmed");
  EXPECT_EQ(panel["class"], "dimmed");

  quiet["quietHoursEnabled"] = false;
  store(quiet);
  startApp();
  ASSERT_EQ(sandbox.run({"signal", "--style", "steady", "--message", "Done: make"}).status, 0);
  ASSERT_TRUE(Sandbox::waitUntil([&] { return status()["signal"]["active"] == true; }, 10));
  auto signaling = status();
  EXPECT_EQ(signaling["signal"]["message"], "Done: make");
  EXPECT_EQ(signaling["signal"]["style"], "steady");
  EXPECT_EQ(json::parse(sandbox.run({"status", "--format", "waybar"}).out, nullptr, false)["alt"],
            "signaling");
  ASSERT_EQ(sandbox.run({"signal", "stop"}).status, 0);
  EXPECT_EQ(sandbox.stop(app), 0);

  // A preference file that cannot be read: the defaults, and a word about it.
  std::ofstream(sandbox.preferencesFile()) << "{ not json";
  auto broken = sandbox.run({"status", "--json"});
  EXPECT_EQ(broken.status, 0) << broken.err;
  reports += broken.out;
  auto report = json::parse(broken.out, nullptr, false);
  EXPECT_EQ(report["setting"]["kind"], "automatic");
  ASSERT_EQ(report["problems"].size(), 1u) << broken.out;
  EXPECT_EQ(sandbox.run({"status"}).status, 0);

  expectAllMatchTheSchema();
}

TEST_F(StatusIntegrationTest, BadOptionsAreUsageErrors) {
  for (const auto& arguments :
       std::vector<std::vector<std::string>>{{"status", "--format"},
                                             {"status", "--format", "xml"},
                                             {"status", "--json", "--format", "waybar"}}) {
    auto result = sandbox.run(arguments);
    EXPECT_EQ(result.status, 2) << arguments.back();
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("usage: halomark status"), std::string::npos) << result.err;
  }
}

TEST_F(StatusIntegrationTest, TheFollowerKeepsUpWithTheApplicationComingAndGoing) {
  ASSERT_EQ(sandbox.device({"create"}).status, 0);
  pid_t follower = follow();
  ASSERT_TRUE(followedTo(follower, [](const json& line) { return line["app"]["running"] == false; }));

  // No application: the preference folder tells.
  ASSERT_EQ(tool({"set", "80"}).status, 0);
  EXPECT_TRUE(followedTo(follower, [](const json& line) { return line["setting"]["nits"] == 80.0; }));

  startApp();
  EXPECT_TRUE(followedTo(follower, [](const json& line) { return line["app"]["running"] == true; }));
  ASSERT_EQ(sandbox.run({"signal", "--style", "steady", "--message", "hello"}).status, 0);
  EXPECT_TRUE(followedTo(follower, [](const json& line) { return line["signal"]["message"] == "hello"; }));
  ASSERT_EQ(sandbox.run({"signal", "stop"}).status, 0);
  EXPECT_TRUE(followedTo(follower, [](const json& line) { return line["signal"]["active"] == false; }));
  ASSERT_EQ(sandbox.run({"set", "300"}).status, 0);
  EXPECT_TRUE(followedTo(follower, [](const json& line) {
    return line["setting"]["nits"] == 300.0 && line["logo"]["nits"] == 300.0;
  }));

  // Crashed: the follower goes back to the folder.
  ::kill(app, SIGKILL);
  EXPECT_EQ(sandbox.wait(app), 128 + SIGKILL);
  EXPECT_TRUE(followedTo(follower, [](const json& line) { return line["app"]["running"] == false; }));
  ASSERT_EQ(tool({"off"}).status, 0);
  EXPECT_TRUE(followedTo(follower, [](const json& line) { return line["setting"]["kind"] == "off"; }));

  // Started and quit again.
  startApp();
  EXPECT_TRUE(followedTo(follower, [](const json& line) { return line["app"]["running"] == true; }));
  EXPECT_EQ(sandbox.stop(app), 0);
  EXPECT_TRUE(followedTo(follower, [](const json& line) { return line["app"]["running"] == false; }));
  ASSERT_EQ(tool({"auto"}).status, 0);
  EXPECT_TRUE(followedTo(follower, [](const json& line) { return line["setting"]["kind"] == "automatic"; }));

  ASSERT_EQ(::kill(follower, SIGTERM), 0);
  EXPECT_EQ(sandbox.wait(follower, 5), 0);
  auto output = sandbox.output(follower);
  EXPECT_EQ(output.err, "");
  auto lines = followed(follower);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ASSERT_TRUE(lines[i].is_object()) << "line " << i << " of\n" << output.out;
    if (i > 0) {
      EXPECT_NE(lines[i], lines[i - 1]) << "a line only for a change";
    }
  }
  expectAllMatchTheSchema(output.out);
}

TEST_F(StatusIntegrationTest, TheFollowerEndsCleanlyOnInterruptAndWhenItsReaderGoes) {
  pid_t interrupted = follow({"--format", "waybar"});
  ASSERT_TRUE(followedTo(interrupted, [](const json& line) { return line["alt"] == "on"; }));
  ASSERT_EQ(::kill(interrupted, SIGINT), 0);
  EXPECT_EQ(sandbox.wait(interrupted, 5), 0);
  EXPECT_EQ(sandbox.output(interrupted).err, "");

  // head ends after three lines; the follower ends with it, without a further change to write.
  pid_t pipeline = sandbox.spawn(
      "/bin/sh", {"-c", "'" + Sandbox::commandLink() + "' status --follow | head -n 3; echo head-ended >&2"});
  auto followers = [&] {
    int count = 0;
    for (pid_t pid : sandbox.livingProcesses()) {
      auto words = Sandbox::commandLine(pid);
      if (words.size() > 1 && words[1] == "status") ++count;
    }
    return count;
  };
  auto headRuns = [&] {
    for (pid_t pid : sandbox.livingProcesses()) {
      auto words = Sandbox::commandLine(pid);
      if (!words.empty() && words[0] == "head") return true;
    }
    return false;
  };
  ASSERT_TRUE(Sandbox::waitUntil([&] { return followers() == 1; }, 10));
  // Each change alters the line: head has its three after two (three when the first line came late).
  for (const auto& change :
       std::vector<std::vector<std::string>>{{"set", "80"}, {"off"}, {"auto"}, {"off"}}) {
    ASSERT_EQ(tool(change).status, 0);
    if (Sandbox::waitUntil([&] { return !headRuns(); }, 2)) break;
  }
  EXPECT_EQ(sandbox.wait(pipeline, 10), 0);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return followers() == 0; }, 5)) << "the follower outlived its reader";
  auto shown = sandbox.output(pipeline);
  EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), 3) << shown.out;
  EXPECT_EQ(shown.err, "head-ended\n");
}

}  // namespace
