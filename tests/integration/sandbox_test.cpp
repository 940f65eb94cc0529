#include "integration/sandbox.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

bool alive(pid_t pid) { return ::kill(pid, 0) == 0; }

TEST(SandboxTest, EnvironmentIsBuiltFromScratch) {
  Sandbox sandbox;
  auto result = sandbox.runProgram("/usr/bin/env", {});
  ASSERT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("HOME=" + sandbox.home() + "\n"), std::string::npos);
  EXPECT_NE(result.out.find("XDG_CONFIG_HOME=" + sandbox.configHome() + "\n"), std::string::npos);
  EXPECT_NE(result.out.find("DBUS_SESSION_BUS_ADDRESS=" + sandbox.busAddress() + "\n"), std::string::npos);
  EXPECT_NE(result.out.find("LANG=C.UTF-8\n"), std::string::npos);
  EXPECT_EQ(result.out.find("DISPLAY="), std::string::npos);
  EXPECT_EQ(fs::status(sandbox.runtimeDirectory()).permissions() & fs::perms::all, fs::perms::owner_all);

  sandbox.setEnvironment("LANG", "de_DE.UTF-8");
  sandbox.unsetEnvironment("XDG_CACHE_HOME");
  result = sandbox.runProgram("/usr/bin/env", {});
  EXPECT_NE(result.out.find("LANG=de_DE.UTF-8\n"), std::string::npos);
  EXPECT_EQ(result.out.find("XDG_CACHE_HOME="), std::string::npos);
}

TEST(SandboxTest, SanitizerSettingsReachTheProgramsUnderTest) {
  const char* suites = std::getenv("LSAN_OPTIONS");
  const std::string previous = suites ? suites : "";
  ::setenv("LSAN_OPTIONS", "suppressions=/nowhere/lsan.supp", 1);
  ::setenv("OTHER_SETTING", "not passed on", 1);
  Sandbox sandbox;
  if (suites)
    ::setenv("LSAN_OPTIONS", previous.c_str(), 1);
  else
    ::unsetenv("LSAN_OPTIONS");
  ::unsetenv("OTHER_SETTING");
  auto result = sandbox.runProgram("/usr/bin/env", {});
  EXPECT_NE(result.out.find("\nLSAN_OPTIONS=suppressions=/nowhere/lsan.supp\n"), std::string::npos)
      << result.out;
  EXPECT_EQ(result.out.find("OTHER_SETTING"), std::string::npos);
}

TEST(SandboxTest, PrivateBusStartsNothingOfTheMachine) {
  Sandbox sandbox;
  auto result = sandbox.runProgram("/usr/bin/dbus-send",
                                   {"--session", "--print-reply", "--dest=org.freedesktop.DBus",
                                    "/org/freedesktop/DBus", "org.freedesktop.DBus.ListActivatableNames"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"org.freedesktop.DBus\""), std::string::npos);
  // Only the bus itself: no service of this machine can be started on it.
  EXPECT_EQ(result.out.find("string \"org.", result.out.find("\"org.freedesktop.DBus\"") + 1),
            std::string::npos);
}

TEST(SandboxTest, EndsEveryProcessItStartedEvenDetachedOnes) {
  std::string root;
  pid_t spawned = -1;
  std::vector<pid_t> everything;
  {
    Sandbox sandbox;
    root = sandbox.root();
    spawned = sandbox.spawn("/bin/sleep", {"300"});
    // A grandchild in a session of its own, as a detached start leaves it.
    auto result =
        sandbox.runProgram("/bin/sh", {"-c", "setsid /bin/sleep 301 > /dev/null 2>&1 < /dev/null &"});
    ASSERT_EQ(result.status, 0);
    ASSERT_TRUE(Sandbox::waitUntil([&] { return sandbox.livingProcesses().size() == 3; }, 5));
    everything = sandbox.livingProcesses();
    EXPECT_EQ(sandbox.output(spawned).err, "");
  }
  for (pid_t pid : everything) EXPECT_FALSE(alive(pid)) << pid;
  EXPECT_FALSE(fs::exists(root));
}

TEST(SandboxTest, ReportsStatusesAndStreams) {
  Sandbox sandbox;
  auto result = sandbox.runProgram("/bin/sh", {"-c", "cat; echo oops >&2; exit 3"}, "hello\n");
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.out, "hello\n");
  EXPECT_EQ(result.err, "oops\n");
  EXPECT_EQ(sandbox.runProgram("/bin/sh", {"-c", "kill -TERM $$"}).status, 128 + SIGTERM);
  // A process left behind holding the streams does not keep the caller waiting.
  auto held = sandbox.runProgram("/bin/sh", {"-c", "echo started; /bin/sleep 300 &"});
  EXPECT_EQ(held.status, 0);
  EXPECT_EQ(held.out, "started\n");

  pid_t stubborn = sandbox.spawn("/bin/sh", {"-c", "trap '' TERM; echo ready; while :; do sleep 0.1; done"});
  ASSERT_TRUE(Sandbox::waitUntil([&] { return sandbox.output(stubborn).out == "ready\n"; }, 10));
  EXPECT_EQ(sandbox.stop(stubborn, 0.5), -1);
  EXPECT_FALSE(alive(stubborn));
}

}  // namespace
