#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "fakes/temp_tree.h"
#include "integration/sandbox.h"
#include "platform/linux/preference_domains_linux.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWrites = 2000;

nlohmann::json readJson(const std::string& path) { return nlohmann::json::parse(TempTree::read(path)); }

// A separate process writing `count` keys of its own, one write at a time, as the application does.
pid_t startWriter(const std::string& directory, const std::string& prefix) {
  pid_t pid = ::fork();
  if (pid == 0) {
    LinuxPreferenceDomains domains(directory);
    for (int i = 0; i < kWrites; ++i)
      domains.setValue("app.halomark.Halomark", prefix + std::to_string(i), i);
    ::_exit(domains.synchronize() ? 0 : 1);
  }
  return pid;
}

bool finished(pid_t pid, int& status) { return ::waitpid(pid, &status, WNOHANG) == pid; }

TEST(PreferencesIntegrationTest, ConcurrentWritersLoseNothing) {
  Sandbox sandbox;
  // Outside a bundle the tool does not start the application: only its writes matter here.
  std::string tool = sandbox.home() + "/halomark";
  fs::copy_file(Sandbox::executable(), tool);
  std::string directory = sandbox.configHome() + "/halomark";

  pid_t first = startWriter(directory, "first.");
  pid_t second = startWriter(directory, "second.");
  int firstStatus = -1, secondStatus = -1;
  bool firstDone = false, secondDone = false;
  // Tool invocations overlap the writers the whole time: each reads, merges and writes its three
  // keys while thousands of other writes land.
  std::set<double> written;
  std::mutex writtenMutex;
  auto lane = [&](int number) {
    for (int round = 0; round < 50 && !(firstDone && secondDone && round >= 2); ++round) {
      double nits = 100 + number * 100 + round;
      {
        std::lock_guard lock(writtenMutex);
        written.insert(nits);
      }
      auto result = sandbox.runProgram(tool, {"set", std::to_string(nits)});
      EXPECT_EQ(result.status, 0) << result.err;
    }
  };
  std::vector<std::thread> lanes;
  for (int number = 0; number < 4; ++number) lanes.emplace_back(lane, number);
  Sandbox::waitUntil(
      [&] {
        firstDone = firstDone || finished(first, firstStatus);
        secondDone = secondDone || finished(second, secondStatus);
        return firstDone && secondDone;
      },
      150);
  for (auto& thread : lanes) thread.join();
  ASSERT_TRUE(firstDone && secondDone);
  EXPECT_EQ(WEXITSTATUS(firstStatus), 0);
  EXPECT_EQ(WEXITSTATUS(secondStatus), 0);

  auto stored = readJson(sandbox.preferencesFile());
  for (int i = 0; i < kWrites; ++i) {
    ASSERT_EQ(stored.value("first." + std::to_string(i), -1), i) << "lost first." << i;
    ASSERT_EQ(stored.value("second." + std::to_string(i), -1), i) << "lost second." << i;
  }
  EXPECT_EQ(stored["setting"], "fixed");
  EXPECT_EQ(stored["lastOn"], "fixed");
  EXPECT_EQ(written.count(stored["fixedNits"].get<double>()), 1u);
  EXPECT_EQ(stored.size(), 2u * kWrites + 3);
}

TEST(PreferencesIntegrationTest, CorruptFileIsKeptAside) {
  Sandbox sandbox;
  std::string tool = sandbox.home() + "/halomark";
  fs::copy_file(Sandbox::executable(), tool);
  fs::create_directories(sandbox.configHome() + "/halomark");
  const std::string garbage = "{\"setting\": \"fixed\", \"fixedNits\": 80";
  std::ofstream(sandbox.preferencesFile()) << garbage;

  // Reading a damaged file gives the defaults and leaves it untouched.
  EXPECT_EQ(sandbox.runProgram(tool, {"version"}).status, 0);
  EXPECT_EQ(TempTree::read(sandbox.preferencesFile()), garbage);

  // The first write keeps the damaged file beside the new one.
  EXPECT_EQ(sandbox.runProgram(tool, {"off"}).status, 0);
  EXPECT_EQ(readJson(sandbox.preferencesFile()), (nlohmann::json{{"setting", "off"}}));
  std::vector<std::string> kept;
  for (const auto& entry : fs::directory_iterator(sandbox.configHome() + "/halomark")) {
    if (entry.path().string().find(".corrupt") != std::string::npos) kept.push_back(entry.path());
  }
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(fs::path(kept[0]).filename(), "app.halomark.Halomark.json.corrupt");
  EXPECT_EQ(TempTree::read(kept[0]), garbage);
}

}  // namespace
