#include <gtest/gtest.h>

#include <signal.h>

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
