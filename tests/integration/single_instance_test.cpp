// One application per user, with or without a session bus, and tied to its session: the pile-up of
// copies in a console login, settings reaching the application through its preference file, and
// an application that outlived its session bus or login session.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include <nlohmann/json.hpp>

#include "integration/sandbox.h"

namespace {

using nlohmann::json;

const char* const kTableKeys[] = {"LEPWMBrightnessNitsMapping", "LEPWMLuxToMinNitsRestrictionMapping",
                                  "LEPWMLuxToMaxNitsRestrictionMapping"};

class SingleInstanceTest : public ::testing::Test {
 protected:
  explicit SingleInstanceTest(Sandbox::Bus bus = Sandbox::Bus::privateSession) : sandbox(bus) {}

  void SetUp() override {
    ASSERT_EQ(sandbox.device({"create", "--multiplier", "2"}).status, 0);
    platformState = sandbox.deviceState();
  }
  bool showsPlatformBehaviour() {
    json now = sandbox.deviceState();
    for (const char* key : kTableKeys) {
      if (now[key] != platformState[key]) return false;
    }
    return now["LEBacklightMode"] == 2;
  }
  // Every application process of this sandbox (the executable started without arguments).
  std::vector<pid_t> applications() const {
    std::vector<pid_t> found;
    for (pid_t pid : sandbox.livingProcesses()) {
      if (Sandbox::commandLine(pid) == std::vector<std::string>{Sandbox::executable()}) found.push_back(pid);
    }
    return found;
  }
  static std::string link(pid_t pid, const std::string& name) {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/" + name, error).string();
  }

  Sandbox sandbox;
  json platformState;
};

class WithoutASessionBus : public SingleInstanceTest {
 protected:
  WithoutASessionBus() : SingleInstanceTest(Sandbox::Bus::none) {}
};

TEST_F(WithoutASessionBus, SettingCommandsLeaveOneApplicationThatFollowsThePreferenceFile) {
  // Twenty commands, half of them at once, as a script or an impatient user would send them.
  std::vector<std::thread> burst;
  std::vector<ProcessResult> results(10);
  for (std::size_t i = 0; i < results.size(); ++i) {
    burst.emplace_back([&, i] { results[i] = sandbox.run({i % 2 ? "on" : "set", "80"}); });
  }
  for (auto& thread : burst) thread.join();
  for (const auto& result : results) EXPECT_EQ(result.status, 0) << result.err;
  for (int i = 0; i < 10; ++i) {
    auto result = sandbox.run({i % 2 ? "auto" : "on"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
  }
  auto running = applications();
  ASSERT_EQ(running.size(), 1u) << "one application, however many commands started one";
  pid_t app = running.front();
  EXPECT_EQ(link(app, "cwd"), "/") << "a detached application pins no folder";
  for (const char* stream : {"fd/0", "fd/1", "fd/2"}) EXPECT_EQ(link(app, stream), "/dev/null") << stream;

  auto off = sandbox.run({"off"});
  EXPECT_EQ(off.status, 0) << off.err;
  EXPECT_EQ(off.out, "Setting:      Off\nLogo now:     0 nits\nHalomark app: running\n")
      << "the application saw the preference file change and applied it";
  EXPECT_EQ(sandbox.deviceState()["LEBacklightMode"], 0);
  auto set = sandbox.run({"set", "80"});
  EXPECT_EQ(set.out, "Setting:      Fixed, 80 nits\nLogo now:     80 nits\nHalomark app: running\n");

  auto status = sandbox.run({"status"});
  EXPECT_NE(status.out.find("Halomark app: running\n"), std::string::npos) << status.out;
  EXPECT_EQ(applications(), running);

  EXPECT_EQ(sandbox.stop(app), 0);
  EXPECT_TRUE(showsPlatformBehaviour()) << sandbox.deviceState().dump();
  auto after = sandbox.run({"status"});
  EXPECT_NE(after.out.find("Halomark app: not running\n"), std::string::npos) << after.out;
}

TEST_F(WithoutASessionBus, SignalSaysItCannotBeDeliveredAndStartsNothing) {
  const std::string message =
      "halomark: couldn't signal Halomark: there is no D-Bus session bus to carry the request\n";
  auto signal = sandbox.run({"signal", "--message", "hi"});
  EXPECT_EQ(signal.status, 1);
  EXPECT_EQ(signal.err, message);
  EXPECT_EQ(signal.out, "");

  // `run` still runs its command and returns its status.
  auto run = sandbox.run({"run", "--", "/bin/sh", "-c", "echo built; exit 3"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "built\n");
  EXPECT_EQ(run.err, message);
  EXPECT_TRUE(applications().empty()) << "nothing was started to wait for a signal it never hears";
  EXPECT_TRUE(sandbox.livingProcesses().empty());
}

TEST_F(SingleInstanceTest, TheApplicationQuitsWhenItsSessionBusGoesAway) {
  auto on = sandbox.run({"set", "80"});
  ASSERT_EQ(on.status, 0) << on.err;
  ASSERT_EQ(applications().size(), 1u);
  EXPECT_EQ(sandbox.deviceState()["LEPWMState"]["FinalNits"], 80);

  sandbox.stopBus();
  EXPECT_TRUE(Sandbox::waitUntil([&] { return applications().empty(); }, 5)) << "no orphan lives on";
  EXPECT_TRUE(showsPlatformBehaviour())
      << "quit the normal way, giving the logo back: " << sandbox.deviceState().dump();
}

// logind on the sandbox's bus, standing for the system bus, with the application's session c1.
class WithLogind : public SingleInstanceTest {
 protected:
  void SetUp() override {
    SingleInstanceTest::SetUp();
    sandbox.setEnvironment("DBUS_SYSTEM_BUS_ADDRESS", sandbox.busAddress());
    sandbox.setEnvironment("XDG_SESSION_ID", "c1");
    sandbox.spawn("/usr/bin/python3", {"-m", "dbusmock", "--system", "--template", "logind"});
    ASSERT_TRUE(Sandbox::waitUntil(
        [&] {
          return mock("AddSession", {"c1", "seat0", "1000", "user", "true"});
        },
        10));
    ASSERT_TRUE(mock("AddSession", {"c2", "seat0", "1000", "user", "false"}));
  }
  bool call(const std::string& path, const std::string& method, const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"call",          "--session", "--dest",   "org.freedesktop.login1",
                                     "--object-path", path,        "--method", method};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return sandbox.runProgram("/usr/bin/gdbus", command).status == 0;
  }
  bool mock(const std::string& method, const std::vector<std::string>& arguments) {
    return call("/org/freedesktop/login1", "org.freedesktop.DBus.Mock." + method, arguments);
  }
  bool removeSession(const std::string& id) {
    return mock("EmitSignal",
                {"org.freedesktop.login1.Manager", "SessionRemoved", "so",
                 "[<'" + id + "'>, <objectpath '/org/freedesktop/login1/session/" + id + "'>]"});
  }
};

TEST_F(WithLogind, TheApplicationQuitsWhenItsLoginSessionIsRemovedButNotWhenItIsInactive) {
  auto on = sandbox.run({"set", "80"});
  ASSERT_EQ(on.status, 0) << on.err;
  ASSERT_EQ(applications().size(), 1u);

  // Another user switched in, and another session of this user ended.
  ASSERT_TRUE(call("/org/freedesktop/login1/session/c1", "org.freedesktop.DBus.Properties.Set",
                   {"org.freedesktop.login1.Session", "Active", "<false>"}));
  ASSERT_TRUE(removeSession("c2"));
  EXPECT_FALSE(Sandbox::waitUntil([&] { return applications().empty(); }, 2));
  EXPECT_EQ(sandbox.deviceState()["LEPWMState"]["FinalNits"], 80);

  ASSERT_TRUE(removeSession("c1"));
  EXPECT_TRUE(Sandbox::waitUntil([&] { return applications().empty(); }, 5));
  EXPECT_TRUE(showsPlatformBehaviour()) << sandbox.deviceState().dump();
}

}  // namespace
