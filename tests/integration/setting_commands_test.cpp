#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "fakes/temp_tree.h"
#include "integration/sandbox.h"

namespace {

namespace fs = std::filesystem;

const char* const kNotFound = "halomark: Halomark isn't running and its app couldn't be found to start it\n";

class SettingCommandsIntegrationTest : public ::testing::Test {
 protected:
  // A copy outside any bundle does not start the application, so each command is quick and says so.
  void SetUp() override {
    fs::create_directories(sandbox.root() + "/loose");
    fs::copy_file(Sandbox::executable(), tool);
  }
  ProcessResult run(const std::vector<std::string>& arguments) { return sandbox.runProgram(tool, arguments); }
  nlohmann::json stored() {
    if (!fs::exists(sandbox.preferencesFile())) return nlohmann::json::object();
    return nlohmann::json::parse(TempTree::read(sandbox.preferencesFile()));
  }
  void store(const nlohmann::json& contents) {
    fs::create_directories(fs::path(sandbox.preferencesFile()).parent_path());
    std::ofstream(sandbox.preferencesFile()) << contents.dump();
  }

  Sandbox sandbox;
  std::string tool = sandbox.root() + "/loose/halomark";
};

TEST_F(SettingCommandsIntegrationTest, CommandsChangeTheStoredSetting) {
  auto result = run({"set", "80"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, kNotFound);
  EXPECT_EQ(stored(), (nlohmann::json{{"setting", "fixed"}, {"lastOn", "fixed"}, {"fixedNits", 80.0}}));

  EXPECT_EQ(run({"off"}).status, 0);
  EXPECT_EQ(stored()["setting"], "off");
  EXPECT_EQ(stored()["fixedNits"], 80.0);

  EXPECT_EQ(run({"ON"}).status, 0);
  EXPECT_EQ(stored()["setting"], "fixed");

  EXPECT_EQ(run({"toggle"}).status, 0);
  EXPECT_EQ(stored()["setting"], "off");
  EXPECT_EQ(run({"toggle"}).status, 0);
  EXPECT_EQ(stored()["setting"], "fixed");

  EXPECT_EQ(run({"auto"}).status, 0);
  EXPECT_EQ(stored(),
            (nlohmann::json{{"setting", "automatic"}, {"lastOn", "automatic"}, {"fixedNits", 80.0}}));
}

TEST_F(SettingCommandsIntegrationTest, SetValidatesAndClamps) {
  auto bad = run({"set", "80", "nits"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "halomark: set needs a number of nits, e.g. halomark set 80\n");
  EXPECT_EQ(run({"set", "inf"}).status, 2);
  EXPECT_FALSE(fs::exists(sandbox.preferencesFile()));

  auto low = run({"set", "0"});
  EXPECT_EQ(low.status, 0);
  EXPECT_EQ(low.err, std::string("halomark: using 12.5 nits (allowed range is 12.5\xE2\x80\x93"
                                 "1000)\n") +
                         kNotFound);
  EXPECT_EQ(stored()["fixedNits"], 12.5);

  auto high = run({"set", "2000NITS"});
  EXPECT_EQ(high.err, std::string("halomark: using 1,000 nits (allowed range is 12.5\xE2\x80\x93"
                                  "1000)\n") +
                          kNotFound);
  EXPECT_EQ(stored()["fixedNits"], 1000.0);
}

TEST_F(SettingCommandsIntegrationTest, NumbersFollowTheUsersLocale) {
  sandbox.setEnvironment("LANG", "de_DE.UTF-8");
  auto high = run({"set", "2000"});
  EXPECT_EQ(high.status, 0);
  EXPECT_EQ(high.err, std::string("halomark: using 1.000 nits (allowed range is 12,5\xE2\x80\x93"
                                  "1000)\n") +
                          kNotFound);
  auto help = run({"help"});
  EXPECT_NE(help.out.find("Fixed brightness, 12,5\xE2\x80\x93"
                          "1000 nits"),
            std::string::npos);
}

TEST_F(SettingCommandsIntegrationTest, ResetKeepsTheRulesButAllowsTheFullRange) {
  store({{"setting", "fixed"},
         {"lastOn", "fixed"},
         {"fixedNits", 300.0},
         {"ignoreLimits", false},
         {"offOnBattery", true}});
  EXPECT_EQ(run({"reset"}).status, 0);
  EXPECT_EQ(stored(), (nlohmann::json{{"setting", "automatic"},
                                      {"lastOn", "automatic"},
                                      {"fixedNits", 300.0},
                                      {"ignoreLimits", true},
                                      {"offOnBattery", true}}));
}

TEST_F(SettingCommandsIntegrationTest, UsageErrorsAndHelp) {
  auto unknown = run({"-NSDocumentRevisionsDebugMode", "YES", "-psn_0_1"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_EQ(unknown.err.rfind("Usage: halomark <command>\n\n", 0), 0u);
  EXPECT_EQ(unknown.err.substr(unknown.err.size() - 2), ".\n");

  auto help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, unknown.err);
  EXPECT_EQ(help.err, "");
  EXPECT_FALSE(fs::exists(sandbox.preferencesFile()));
}

TEST_F(SettingCommandsIntegrationTest, LegacySettingsAreMigratedOnce) {
  fs::create_directories(sandbox.configHome() + "/halomark");
  std::ofstream(sandbox.preferencesFile("app.orrin.Orrin"))
      << R"({"setting":"off","lastOn":"fixed","fixedNits":42.0})";
  EXPECT_EQ(run({"on"}).status, 0);
  EXPECT_EQ(stored(), (nlohmann::json{{"setting", "fixed"}, {"lastOn", "fixed"}, {"fixedNits", 42.0}}));
  EXPECT_FALSE(fs::exists(sandbox.preferencesFile("app.orrin.Orrin")));
}

TEST_F(SettingCommandsIntegrationTest, ASaveThatCannotBeMadeIsReportedAndNothingHangsOrCrashes) {
  const std::string folder = sandbox.configHome() + "/halomark";
  fs::create_symlink("halomark", folder);  // a link to itself
  auto looped = run({"set", "80"});
  EXPECT_EQ(looped.status, 1);
  EXPECT_EQ(looped.err.rfind("halomark: couldn't save the setting\n", 0), 0u) << looped.err;
  fs::remove(folder);

  EXPECT_EQ(run({"set", "70"}).status, 0);
  int held = ::open((sandbox.preferencesFile() + ".lock").c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  auto locked = run({"set", "90"});
  ::close(held);
  EXPECT_EQ(locked.status, 1) << "gives up after a few seconds instead of waiting forever";
  EXPECT_EQ(locked.err.rfind("halomark: couldn't save the setting\n", 0), 0u) << locked.err;
  EXPECT_EQ(stored()["fixedNits"], 70.0);

  // Out of range the other way: a finite number too small even to be told from zero.
  auto tiny = run({"set", "1e-5000"});
  EXPECT_EQ(tiny.status, 0);
  EXPECT_EQ(stored()["fixedNits"], 12.5);
}

// Another process holds the lock longer than the tool waits, then lets go while the tool would
// still be busy with a change made of several keys: the tool fails, and nothing of its change is
// stored then or afterwards.
TEST_F(SettingCommandsIntegrationTest, ASaveThatTimesOutStoresNothingLater) {
  ASSERT_EQ(run({"set", "70"}).status, 0);
  ASSERT_EQ(run({"off"}).status, 0);
  const char* holdForFiveSeconds = R"(
import fcntl, sys, time
lock = open(sys.argv[1], 'a')
fcntl.flock(lock, fcntl.LOCK_EX)
print('held', flush=True)
time.sleep(5)
)";
  pid_t holder =
      sandbox.spawn("/usr/bin/python3", {"-c", holdForFiveSeconds, sandbox.preferencesFile() + ".lock"});
  ASSERT_TRUE(Sandbox::waitUntil([&] { return sandbox.output(holder).out == "held\n"; }, 10));
  auto locked = run({"set", "44"});
  EXPECT_EQ(locked.status, 1);
  EXPECT_EQ(locked.err.rfind("halomark: couldn't save the setting\n", 0), 0u) << locked.err;
  EXPECT_NE(locked.out.find("Setting:      Off"), std::string::npos) << locked.out;
  EXPECT_EQ(sandbox.wait(holder), 0);
  EXPECT_EQ(stored(), (nlohmann::json{{"setting", "off"}, {"lastOn", "fixed"}, {"fixedNits", 70.0}}));
}

}  // namespace
