#include <gtest/gtest.h>

#include <signal.h>

#include <string>
#include <vector>

#include "integration/sandbox.h"

namespace {

TEST(ApplicationTest, RunsUntilAskedToQuitAndEndsCleanly) {
  Sandbox sandbox;
  for (int signal : {SIGTERM, SIGINT}) {
    // A launcher's own arguments alone still make the application.
    pid_t app = sandbox.spawnApp({"-psn_0_12345"});
    EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.output(app).err != ""; }, 10));
    EXPECT_EQ(sandbox.output(app).err, "halomark: This Mac doesn't have an illuminated logo\n");
    ASSERT_EQ(::kill(app, signal), 0);
    EXPECT_EQ(sandbox.wait(app), 0) << "signal " << signal;
  }
}

TEST(ApplicationTest, ArgumentsLeftAfterLauncherOnesMakeTheTool) {
  Sandbox sandbox;
  auto result = sandbox.runProgram(Sandbox::executable(), {"-NSDocumentRevisionsDebugMode", "YES"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err.rfind("Usage: halomark <command>", 0), 0u);
}

}  // namespace

namespace {

TEST(ApplicationTest, ChecksTheEmulatedDeviceAtStart) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.device({"create"}).status, 0);
  pid_t app = sandbox.spawnApp();
  // A compatible device draws no complaint. The application takes its bus name only after the
  // check, so once the tool sees it running the check has run.
  ASSERT_TRUE(Sandbox::waitUntil(
      [&] { return sandbox.run({"status"}).out.find("Halomark app: running") != std::string::npos; }, 15));
  EXPECT_EQ(sandbox.stop(app), 0);
  EXPECT_EQ(sandbox.output(app).err, "");

  ASSERT_EQ(sandbox.device({"break-mode"}).status, 0);
  app = sandbox.spawnApp();
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.output(app).err != ""; }, 10));
  EXPECT_EQ(sandbox.output(app).err,
            "halomark: Unavailable \xE2\x80\x94 macOS may have changed. The logo is as macOS set it.\n");
  EXPECT_EQ(sandbox.stop(app), 0);
}

}  // namespace

namespace {

// Nothing on the test bus owns the screen saver's name, as on most desktops. The tool asks it
// whether the screen is locked only when it is there, so no error reply is left for Qt's bus thread
// to handle while the tool exits (it warned on stderr in about a third of the runs).
TEST(ApplicationTest, TheToolSaysNothingOnStderrBesideARunningApplication) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.device({"create"}).status, 0);
  pid_t app = sandbox.spawnApp();
  ASSERT_TRUE(Sandbox::waitUntil(
      [&] { return sandbox.run({"status"}).out.find("Halomark app: running") != std::string::npos; }, 15));
  auto quiet = [&](const std::vector<std::string>& command, int runs) {
    for (int run = 0; run < runs; ++run) {
      auto result = sandbox.run(command);
      EXPECT_EQ(result.status, 0) << command[0];
      EXPECT_EQ(result.err, "") << command[0] << " (run " << run << ")";
    }
  };
  quiet({"status"}, 40);
  quiet({"set", "80"}, 4);
  quiet({"auto"}, 4);
  EXPECT_EQ(sandbox.stop(app), 0);
}

}  // namespace
