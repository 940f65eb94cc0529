// The attention signal end to end: the tool's requests reach the running application, which pulses
// the emulated logo device; `run` passes on its child's status and reports it to the application.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "integration/sandbox.h"

namespace {

// A FinalNits value seen by `halomark-device watch`, with its time in seconds.
struct Sample {
  double at;
  double nits;
};

std::vector<Sample> parseWatch(const std::string& text) {
  std::vector<Sample> samples;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    auto field = line.find(" FinalNits=");
    if (field == std::string::npos) continue;
    samples.push_back({std::stod(line.substr(0, field)), std::stod(line.substr(field + 11))});
  }
  return samples;
}

bool pulsing(double nits) { return std::abs(nits - 600) < 0.5 || std::abs(nits - 18) < 0.5; }

// The pulse levels only, each change once: values between them are the moments in which one table
// of a step is written and the next is not yet.
std::vector<Sample> pulseChanges(const std::vector<Sample>& samples) {
  std::vector<Sample> changes;
  for (const auto& sample : samples) {
    if (!pulsing(sample.nits)) continue;
    if (!changes.empty() && std::abs(changes.back().nits - sample.nits) < 0.5) continue;
    changes.push_back(sample);
  }
  return changes;
}

class AttentionEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(sandbox.device({"create"}).status, 0); }

  // Starts the application and waits until it acts on signal requests: it takes its bus name a
  // little before it listens, so a steady signal is asked for until it shows, then stopped.
  void startApp() {
    app = sandbox.spawnApp();
    ASSERT_TRUE(Sandbox::waitUntil(
        [&] { return sandbox.run({"status"}).out.find("Halomark app: running") != std::string::npos; }, 15));
    double before = deviceState().first;
    ASSERT_TRUE(Sandbox::waitUntil(
        [&] {
          sandbox.run({"signal", "--style", "steady"});
          return std::abs(deviceState().first - 500) < 0.5;
        },
        15));
    sandbox.run({"signal", "stop"});
    ASSERT_TRUE(Sandbox::waitUntil([&] { return std::abs(deviceState().first - before) < 0.01; }, 5));
  }

  // The device's current FinalNits and mode, as the device computes them.
  std::pair<double, int> deviceState() {
    auto shown = nlohmann::json::parse(sandbox.device({"show"}).out, nullptr, false);
    if (shown.is_discarded()) return {-1, -1};
    auto state = shown.value("LEPWMState", nlohmann::json::object());
    return {state.value("FinalNits", -1.0), shown.value("LEBacklightMode", -1)};
  }

  // Watches the bus for the signal notifications the tool posts.
  pid_t monitorSignals() {
    pid_t monitor = sandbox.spawn("/usr/bin/dbus-monitor",
                                  {"--address", sandbox.busAddress(),
                                   "type='signal',interface='app.halomark.Halomark',member='signal'"});
    Sandbox::waitUntil([&] { return !sandbox.output(monitor).out.empty(); }, 5);
    return monitor;
  }

  Sandbox sandbox;
  pid_t app = -1;
};

TEST_F(AttentionEndToEndTest, DoublePulseThenStopRestoresTheSetting) {
  startApp();
  auto before = deviceState();
  ASSERT_GE(before.first, 0);

  pid_t watch = sandbox.spawn(Sandbox::deviceTool(), {"watch", "--interval", "0.02", "--duration", "6"});
  ASSERT_TRUE(Sandbox::waitUntil([&] { return !sandbox.output(watch).out.empty(); }, 5));
  auto result = sandbox.run({"signal", "--style", "double", "--message", "hi"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out + result.err, "");
  ASSERT_EQ(sandbox.wait(watch, 15), 0);

  auto changes = pulseChanges(parseWatch(sandbox.output(watch).out));
  ASSERT_GE(changes.size(), 5u) << sandbox.output(watch).out;
  // 600 at 0, 18 at 0.55, 600 at 1.1, 18 at 1.65, then 18 until 600 again at 3.3 s.
  std::vector<double> levels{600, 18, 600, 18, 600};
  std::vector<double> offsets{0, 0.55, 1.1, 1.65, 3.3};
  for (std::size_t i = 0; i < levels.size(); ++i) {
    EXPECT_NEAR(changes[i].nits, levels[i], 0.5) << i;
    EXPECT_NEAR(changes[i].at - changes[0].at, offsets[i], 0.3) << i;
  }

  EXPECT_EQ(sandbox.run({"signal", "stop"}).status, 0);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return std::abs(deviceState().first - before.first) < 0.01; }, 5))
      << deviceState().first << " instead of " << before.first;
  EXPECT_EQ(deviceState().second, before.second);
}

TEST_F(AttentionEndToEndTest, RunPassesOnItsChildsStatusAndReportsIt) {
  pid_t monitor = monitorSignals();
  auto posted = [&](const std::string& text) {
    return Sandbox::waitUntil(
        [&] { return sandbox.output(monitor).out.find("\"" + text + "\"") != std::string::npos; }, 5);
  };

  auto failed = sandbox.run({"run", "--", "false"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_TRUE(posted("Failed (1): false")) << sandbox.output(monitor).out;

  auto seven = sandbox.run({"run", "--", "sh", "-c", "echo out; echo err >&2; exit 7"});
  EXPECT_EQ(seven.status, 7);
  EXPECT_EQ(seven.out, "out\n");
  EXPECT_EQ(seven.err, "err\n");
  EXPECT_TRUE(posted("Failed (7): sh"));

  // env looks the name up, fails in its own words, and its status is passed on.
  auto missing = sandbox.run({"run", "--", "halomark-no-such-command"});
  EXPECT_EQ(missing.status, 127);
  EXPECT_NE(missing.err.find("halomark-no-such-command"), std::string::npos) << missing.err;
  EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
  EXPECT_TRUE(posted("Failed (127): halomark-no-such-command"));
}

TEST_F(AttentionEndToEndTest, TheApplicationPulsesForRun) {
  startApp();
  pid_t monitor = monitorSignals();
  EXPECT_EQ(sandbox.run({"run", "--style", "double", "--", "false"}).status, 1);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return pulsing(deviceState().first); }, 5));
  EXPECT_NE(sandbox.output(monitor).out.find("\"Failed (1): false\""), std::string::npos);

  EXPECT_EQ(sandbox.run({"run", "--style", "steady", "/bin/true"}).status, 0);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return std::abs(deviceState().first - 500) < 0.5; }, 5));
  EXPECT_EQ(sandbox.run({"signal", "stop"}).status, 0);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return std::abs(deviceState().first - 240) < 0.01; }, 5));
}

TEST_F(AttentionEndToEndTest, InterruptEndsTheChildAndSendsNothing) {
  pid_t monitor = monitorSignals();
  // The tool runs in a process group of its own, as a shell's foreground job would.
  pid_t tool = sandbox.spawn(Sandbox::commandLink(), {"run", "--", "sleep", "30"});
  auto childRuns = [&] {
    for (pid_t pid : sandbox.livingProcesses()) {
      auto words = Sandbox::commandLine(pid);
      if (!words.empty() && words[0] == "sleep") return true;
    }
    return false;
  };
  ASSERT_TRUE(Sandbox::waitUntil(childRuns, 5));
  ASSERT_EQ(::kill(-tool, SIGINT), 0);
  // Ended by the interrupt itself: no handler let the tool go on to send a signal.
  EXPECT_EQ(sandbox.wait(tool, 5), 128 + SIGINT);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return !childRuns(); }, 5));
  sandbox.run({"status"});  // a round trip on the bus, after which a stray notification would show
  EXPECT_EQ(sandbox.output(monitor).out.find("\"start\""), std::string::npos) << sandbox.output(monitor).out;
}

// Holds the lock of the file named by its argument for three seconds.
const char* const kHoldLock = R"(
import fcntl, sys, time
lock = open(sys.argv[1], 'a')
fcntl.flock(lock, fcntl.LOCK_EX)
print('held', flush=True)
time.sleep(3)
)";

TEST_F(AttentionEndToEndTest, ASignalThatStartsTheApplicationReachesIt) {
  // The application starts slowly: the device it checks first is busy for a while.
  pid_t busy = sandbox.spawn(
      "/usr/bin/python3", {"-c", kHoldLock, sandbox.runtimeDirectory() + "/halomark/logo-device.json.lock"});
  ASSERT_TRUE(Sandbox::waitUntil([&] { return sandbox.output(busy).out == "held\n"; }, 10));
  auto result = sandbox.run({"signal", "--style", "steady", "--message", "hi"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out + result.err, "");
  // Nothing repeats the request: it was posted once the application listened.
  EXPECT_TRUE(Sandbox::waitUntil([&] { return std::abs(deviceState().first - 500) < 0.5; }, 5))
      << deviceState().first;
}

// The signal keeps the logo through everything that used to write over it: a write of the keys
// that only shape signals (the settings window's style and keep-display-on switches) seen by the
// application's watch on its preference folder, and a tool's change of the setting. Its end shows the
// tool's change.
TEST_F(AttentionEndToEndTest, ASteadySignalKeepsItsLevelUntilItStops) {
  startApp();
  ASSERT_EQ(sandbox.run({"signal", "--style", "steady", "--message", "A"}).status, 0);
  ASSERT_TRUE(Sandbox::waitUntil([&] { return std::abs(deviceState().first - 500) < 0.5; }, 5));

  auto file = sandbox.preferencesFile();
  for (auto [key, value] : std::vector<std::pair<std::string, nlohmann::json>>{
           {"signalStyle", "breathing"}, {"signalKeepDisplayOn", false}, {"signalTimeoutMinutes", 20}}) {
    std::ifstream in(file);
    auto stored = nlohmann::json::parse(in, nullptr, false);
    if (stored.is_discarded()) stored = nlohmann::json::object();
    stored[key] = value;
    std::string temporary = file + ".new";
    std::ofstream(temporary) << stored.dump();
    ASSERT_EQ(std::rename(temporary.c_str(), file.c_str()), 0);
    // Well past the moment the watch has settled (0.2 s after the last write) and would have acted.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_NEAR(deviceState().first, 500, 0.5) << key;
  }

  ASSERT_EQ(sandbox.run({"set", "80"}).status, 0);
  EXPECT_NEAR(deviceState().first, 500, 0.5) << "a tool's change waits for the signal's end";

  EXPECT_EQ(sandbox.run({"signal", "stop"}).status, 0);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return std::abs(deviceState().first - 80) < 0.01; }, 5))
      << deviceState().first;
}

}  // namespace
