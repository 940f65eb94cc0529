#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "fakes/temp_tree.h"
#include "integration/sandbox.h"
#include "linux/xvfb_server.h"

namespace {

nlohmann::json preferences(const Sandbox& sandbox) {
  auto contents = nlohmann::json::parse(TempTree::read(sandbox.preferencesFile()), nullptr, false);
  return contents.is_object() ? contents : nlohmann::json::object();
}

// Launch has run once the platform's tables are saved in the preferences.
bool launched(const Sandbox& sandbox) {
  return preferences(sandbox).contains("apple.LEPWMBrightnessNitsMapping");
}

bool welcomeShown(XvfbServer& display) {
  auto titles = display.shownWindowTitles();
  return std::find(titles.begin(), titles.end(), "Welcome to Halomark") != titles.end();
}

TEST(WelcomeWindowTest, TheFirstLaunchWithADisplayWelcomesOnceAndAHeadlessOneLeavesItDue) {
  XvfbServer display;
  if (!display.started()) GTEST_SKIP() << "Xvfb is not installed";
  Sandbox sandbox;
  ASSERT_EQ(sandbox.device({"create"}).status, 0);

  auto headless = sandbox.spawnApp();
  ASSERT_TRUE(Sandbox::waitUntil([&] { return launched(sandbox); }, 10));
  // Well past the 0.6 s after which the window would have opened.
  Sandbox::waitUntil([] { return false; }, 1.5);
  EXPECT_FALSE(preferences(sandbox).contains("welcomeShown"));
  EXPECT_EQ(sandbox.stop(headless), 0);

  sandbox.setEnvironment("DISPLAY", display.display().toStdString());
  auto first = sandbox.spawnApp();
  EXPECT_TRUE(Sandbox::waitUntil([&] { return welcomeShown(display); }, 10));
  EXPECT_EQ(preferences(sandbox).value("welcomeShown", false), true);
  EXPECT_EQ(sandbox.stop(first), 0);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return !welcomeShown(display); }, 5));

  auto second = sandbox.spawnApp();
  // Time for the start and well past the 0.6 s after which the window would open.
  Sandbox::waitUntil([] { return false; }, 3);
  EXPECT_FALSE(welcomeShown(display));
  EXPECT_EQ(sandbox.stop(second), 0);
}

}  // namespace
