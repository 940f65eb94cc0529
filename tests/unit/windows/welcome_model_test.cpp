#include "windows/welcome_model.h"

#include <gtest/gtest.h>

#include "unit/windows/settings_fixture.h"

namespace {

using Compatibility = LogoController::Compatibility;

class WelcomeModelTest : public ::testing::Test, protected LaunchedApplication {
 protected:
  WelcomeModel make(Compatibility compatibility) {
    return WelcomeModel(fake.platform, window.services, compatibility);
  }
};

TEST_F(WelcomeModelTest, CompatibilityDecidesTheLineAndTheButtons) {
  auto ok = make(Compatibility::ok);
  EXPECT_TRUE(ok.isSupported());
  EXPECT_EQ(ok.compatibilityText(), "Your Mac's logo is supported.");
  auto none = make(Compatibility::noLogoHardware);
  EXPECT_FALSE(none.isSupported());
  EXPECT_EQ(none.compatibilityText(),
            "This Mac doesn't have an illuminated logo, so Halomark has nothing to control here.");
  EXPECT_EQ(make(Compatibility::controlsMissing).compatibilityText(),
            "Halomark can't reach the logo's controls on this version of macOS. An update may fix this, and "
            "Halomark checks for updates automatically.");
}

TEST_F(WelcomeModelTest, SwitchesStartFromTheRealStateAndWriteThrough) {
  fake.loginItems.enabled = true;
  window.updater.automatic = false;
  auto model = make(Compatibility::ok);
  EXPECT_TRUE(model.launchAtLogin());
  EXPECT_FALSE(model.autoUpdate());
  int changes = 0;
  model.onChange = [&] { ++changes; };

  model.setAutoUpdate(true);
  EXPECT_TRUE(window.updater.automatic);
  EXPECT_TRUE(model.autoUpdate());
  model.setLaunchAtLogin(false);
  EXPECT_FALSE(fake.loginItems.enabled);
  EXPECT_FALSE(model.launchAtLogin());
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(window.alertSound.beeps, 0);
}

TEST_F(WelcomeModelTest, ARefusedLoginItemBeepsAndTheSwitchReturnsToOff) {
  fake.loginItems.failure = "The autostart folder is read-only";
  auto model = make(Compatibility::noLogoHardware);
  int changes = 0;
  model.onChange = [&] { ++changes; };
  model.setLaunchAtLogin(true);
  EXPECT_EQ(window.alertSound.beeps, 1);
  EXPECT_FALSE(model.launchAtLogin());
  EXPECT_EQ(changes, 0);
}

}  // namespace
