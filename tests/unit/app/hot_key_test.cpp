#include <gtest/gtest.h>

#include "app/app_delegate.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"
#include "maintenance/apple_tables.h"

namespace {

class HotKeyTest : public ::testing::Test {
 protected:
  HotKeyTest() {
    auto& p = fake.brightness.properties;
    for (const auto& key : kTableKeys)
      p[key] = plistFromTable({{0, 0}, {10, 10}, {100, 100}, {LogoController::fltMax, 900}});
    p[kBacklightModeKey] = 2;
    p[kStateKey] = {{"NitsMultiplier", 1.0}, {"FinalNits", 100.0}};
  }
  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier][key] = value;
  }

  FakePlatform fake;
  std::shared_ptr<AppDelegate> delegate = std::make_shared<AppDelegate>(fake.platform);
};

TEST_F(HotKeyTest, PressingItTogglesBetweenOffAndTheLastOnSetting) {
  delegate->prefs().setSetting(Setting::fixed(300));
  delegate->applicationDidFinishLaunching();
  ASSERT_TRUE(delegate->holdsHotKey());
  ASSERT_TRUE(fake.hotKeys.press());
  fake.clock.runPending();
  EXPECT_TRUE(delegate->prefs().setting().isOff());
  EXPECT_EQ(fake.brightness.writesOf(kBacklightModeKey).back(), 0);
  fake.hotKeys.press();
  fake.clock.runPending();
  EXPECT_EQ(delegate->prefs().setting(), Setting::fixed(300));
}

TEST_F(HotKeyTest, TheSettingReleasesItAtOnceAndARefusalLeavesItAbsent) {
  delegate->applicationDidFinishLaunching();
  EXPECT_EQ(fake.hotKeys.held, 1);
  store("hotKeyEnabled", false);
  delegate->updateHotKey();
  EXPECT_EQ(fake.hotKeys.held, 0);
  EXPECT_FALSE(fake.hotKeys.press());
  store("hotKeyEnabled", true);
  fake.hotKeys.refuse = true;
  delegate->updateHotKey();
  EXPECT_FALSE(delegate->holdsHotKey());
  // Switching it off and on again retries.
  fake.hotKeys.refuse = false;
  delegate->updateHotKey();
  EXPECT_TRUE(delegate->holdsHotKey());
  EXPECT_EQ(fake.hotKeys.held, 1);
}

TEST(HotKeyIncompatible, AMachineWithoutTheLogoRegistersNothing) {
  FakePlatform machine;
  machine.logoHardware.present = false;
  auto delegate = std::make_shared<AppDelegate>(machine.platform);
  delegate->applicationDidFinishLaunching();
  EXPECT_EQ(machine.hotKeys.registrations, 0);
}

}  // namespace
