// A folder listing that fails part way (a failing driver, here a preloaded library that makes readdir
// fail with EIO) must read as "no such light", never end the tool or the application.
#include <gtest/gtest.h>

#include <cstdlib>

#include "integration/sandbox.h"

namespace {

class FailingListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox.setEnvironment("LD_PRELOAD", HALOMARK_FAILING_READDIR);
    sandbox.setEnvironment("HALOMARK_FAILING_DIRS", "/sys/class/leds:/sys/class/backlight");
    // A sanitized build insists on its runtime coming first; the shim is loaded ahead of it here.
    const char* asan = std::getenv("ASAN_OPTIONS");
    sandbox.setEnvironment("ASAN_OPTIONS", std::string(asan ? asan : "") + ":verify_asan_link_order=0");
  }

  Sandbox sandbox;
};

TEST_F(FailingListingTest, TheToolListsNoLightAndReportsStatus) {
  auto list = sandbox.run({"led", "list"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out, "No lights found (the kernel's LED class lists none).\n");
  EXPECT_EQ(list.err.find("filesystem error"), std::string::npos) << list.err;

  auto status = sandbox.run({"status"});
  EXPECT_NE(status.status, 134) << status.err;
  EXPECT_NE(status.out.find("Halomark app: not running"), std::string::npos) << status.out << status.err;
  EXPECT_EQ(status.err.find("filesystem error"), std::string::npos) << status.err;
}

TEST_F(FailingListingTest, TheApplicationRunsOnWithoutALight) {
  pid_t app = sandbox.spawnApp();
  ASSERT_TRUE(Sandbox::waitUntil(
      [&] { return sandbox.run({"status"}).out.find("Halomark app: running") != std::string::npos; }, 15))
      << sandbox.output(app).err;
  // A change makes it look for the light (and the panel's backlight) again.
  sandbox.run({"set", "80"});
  sandbox.run({"automatic"});
  EXPECT_NE(sandbox.run({"status"}).out.find("Halomark app: running"), std::string::npos)
      << sandbox.output(app).err;
  EXPECT_EQ(sandbox.stop(app), 0) << sandbox.output(app).err;
}

}  // namespace
