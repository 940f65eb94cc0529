// The emulated logo device's companion tool, run as a user runs it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/temp_tree.h"

namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

std::string shellQuoted(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

class DeviceToolTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(runtime.empty()); }

  std::string command(const std::vector<std::string>& args) {
    std::string line =
        "env XDG_RUNTIME_DIR=" + shellQuoted(runtime) + " " + shellQuoted(HALOMARK_DEVICE_TOOL);
    for (const auto& arg : args) line += " " + shellQuoted(arg);
    return line;
  }
  Result run(const std::vector<std::string>& args) {
    Result result;
    std::string errPath = runtime + "/stderr";
    FILE* pipe = popen((command(args) + " 2>" + shellQuoted(errPath)).c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = TempTree::read(errPath);
    return result;
  }
  nlohmann::json show() {
    auto shown = run({"show"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    return nlohmann::json::parse(shown.out, nullptr, false);
  }

  TempTree runtimeFolder;
  std::string runtime = runtimeFolder.path();
};

TEST_F(DeviceToolTest, CreatesConfiguresBreaksAndRemovesTheDevice) {
  auto absent = run({"show"});
  EXPECT_EQ(absent.status, 1);
  EXPECT_NE(absent.err.find("halomark-device: no emulated logo device at " + runtime), std::string::npos)
      << absent.err;

  ASSERT_EQ(run({"create"}).status, 0);
  EXPECT_TRUE(fs::exists(runtime + "/halomark/logo-device.json"));
  auto state = show();
  ASSERT_TRUE(state.is_object());
  EXPECT_EQ(state["LEBacklightMode"], 2);
  EXPECT_GT(state["LEPWMBrightnessNitsMapping"].size(), 3u);
  EXPECT_DOUBLE_EQ(state["LEPWMState"]["FinalNits"].get<double>(), 240);
  EXPECT_EQ(state["LEPWMState"]["NitsMultiplier"], 1.0);

  ASSERT_EQ(run({"set", "--multiplier", "2", "--ambient", "100"}).status, 0);
  EXPECT_DOUBLE_EQ(show()["LEPWMState"]["FinalNits"].get<double>(), 480);
  ASSERT_EQ(run({"set", "--multiplier", "none"}).status, 0);
  EXPECT_FALSE(show()["LEPWMState"].contains("NitsMultiplier"));

  ASSERT_EQ(run({"break-mode"}).status, 0);
  EXPECT_EQ(show()["LEBacklightMode"], 3);
  ASSERT_EQ(run({"fix-mode"}).status, 0);
  EXPECT_EQ(show()["LEBacklightMode"], 2);

  ASSERT_EQ(run({"set-table", "LEPWMLuxToMaxNitsRestrictionMapping", "[[0, \"x\"]]"}).status, 0);
  EXPECT_EQ(show()["LEPWMLuxToMaxNitsRestrictionMapping"], nlohmann::json::parse("[[0, \"x\"]]"));

  ASSERT_EQ(run({"create", "--display-brightness", "0"}).status, 0) << "create starts afresh";
  state = show();
  EXPECT_EQ(state["LEPWMLuxToMaxNitsRestrictionMapping"].size(), 4u);
  EXPECT_DOUBLE_EQ(state["LEPWMState"]["FinalNits"].get<double>(), 60);

  EXPECT_EQ(run({"remove"}).status, 0);
  EXPECT_FALSE(fs::exists(runtime + "/halomark/logo-device.json"));
  EXPECT_EQ(run({"remove"}).status, 1);
  EXPECT_EQ(run({"set", "--ambient", "5"}).status, 1);
}

TEST_F(DeviceToolTest, UsageErrorsExitWithStatusTwo) {
  ASSERT_EQ(run({"create"}).status, 0);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {},
           {"frobnicate"},
           {"set"},
           {"set", "--display-brightness", "2"},
           {"set", "--ambient"},
           {"set", "--ambient", "ten"},
           {"create", "--interval", "1"},
           {"set-table", "LEBacklightMode", "[]"},
           {"set-table", "LEPWMBrightnessNitsMapping", "[[0,"},
           {"show", "extra"},
           {"watch", "--interval", "0"},
           {"show", "--state"},
       }) {
    auto result = run(args);
    EXPECT_EQ(result.status, 2) << (args.empty() ? "(none)" : args[0]) << " " << result.err;
    EXPECT_FALSE(result.err.empty());
  }
  auto help = run({"help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: halomark-device"), std::string::npos);
}

TEST_F(DeviceToolTest, StateOptionNamesAnotherDevice) {
  std::string elsewhere = runtime + "/elsewhere/device.json";
  ASSERT_EQ(run({"--state", elsewhere, "create"}).status, 0);
  EXPECT_TRUE(fs::exists(elsewhere));
  EXPECT_FALSE(fs::exists(runtime + "/halomark/logo-device.json"));
  EXPECT_EQ(run({"show", "--state", elsewhere}).status, 0);
  EXPECT_EQ(run({"show"}).status, 1);
}

TEST_F(DeviceToolTest, WatchPrintsALineForEachChangeOfFinalNitsOrMode) {
  ASSERT_EQ(run({"create"}).status, 0);
  FILE* watch = popen(command({"watch", "--interval", "0.02", "--duration", "2"}).c_str(), "r");
  ASSERT_NE(watch, nullptr);
  std::vector<std::string> lines;
  char line[256];
  // Each change is made once the line for the previous one is out, so none is missed.
  auto nextLine = [&] {
    if (fgets(line, sizeof line, watch)) lines.push_back(line);
  };
  nextLine();
  ASSERT_EQ(run({"set", "--display-brightness", "1"}).status, 0);
  nextLine();
  ASSERT_EQ(run({"set", "--ambient", "100"}).status, 0);  // changes neither
  ASSERT_EQ(run({"break-mode"}).status, 0);
  while (fgets(line, sizeof line, watch)) lines.push_back(line);
  EXPECT_EQ(pclose(watch), 0);

  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "0.00 FinalNits=240 mode=2\n");
  EXPECT_NE(lines[1].find(" FinalNits=565 mode=2\n"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find(" FinalNits=565 mode=3\n"), std::string::npos) << lines[2];
  EXPECT_LE(std::stod(lines[1]), std::stod(lines[2]));
}

}  // namespace
