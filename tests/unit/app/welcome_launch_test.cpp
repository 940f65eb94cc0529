#include <gtest/gtest.h>

#include "app/app_delegate.h"
#include "unit/windows/settings_fixture.h"

namespace {

// The launch is made by the fixture; these re-launch a fresh delegate with a welcome handler.
class WelcomeLaunchTest : public ::testing::Test, protected LaunchedApplication {
 protected:
  void relaunch(bool withDisplay) {
    delegate = std::make_shared<AppDelegate>(fake.platform);
    if (withDisplay) delegate->setWelcomeHandler([this] { opened.push_back(fake.clock.now()); });
    delegate->applicationDidFinishLaunching();
  }
  std::vector<double> opened;
};

TEST_F(WelcomeLaunchTest, FirstLaunchMarksItShownAtOnceAndOpensItLater) {
  fake.preferences.domains.clear();
  double start = fake.clock.now();
  relaunch(true);
  EXPECT_EQ(stored("welcomeShown"), true);
  EXPECT_TRUE(opened.empty());
  fake.clock.advance(0.59);
  EXPECT_TRUE(opened.empty());
  fake.clock.advance(0.02);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_NEAR(opened[0] - start, 0.6, 1e-6);

  relaunch(true);
  fake.clock.advance(5);
  EXPECT_EQ(opened.size(), 1u);
}

TEST_F(WelcomeLaunchTest, HeadlessLaunchLeavesItForTheFirstLaunchWithADisplay) {
  fake.preferences.domains.clear();
  relaunch(false);
  fake.clock.advance(5);
  EXPECT_FALSE(has("welcomeShown"));
  relaunch(true);
  fake.clock.advance(1);
  EXPECT_EQ(opened.size(), 1u);
}

TEST_F(WelcomeLaunchTest, AnIncompatibleMachineIsWelcomedToo) {
  fake.preferences.domains.clear();
  fake.logoHardware.present = false;
  relaunch(true);
  EXPECT_EQ(delegate->compatibility(), LogoController::Compatibility::noLogoHardware);
  fake.clock.advance(1);
  EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
