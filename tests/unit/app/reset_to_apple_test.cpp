#include <gtest/gtest.h>

#include "app/app_delegate.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

TEST(ResetToAppleTest, StoresAutomaticAndTheFullRangeThenAppliesThePlatformTables) {
  FakePlatform fake;
  const BrightnessTable saved = {{0, 0}, {0.1, 10}, {20, 30}, {300, 300}, {LogoController::fltMax, 900}};
  auto& properties = fake.brightness.properties;
  for (const auto& key : kTableKeys) properties[key] = plistFromTable(saved);
  properties[kBacklightModeKey] = 2;
  properties[kStateKey] = {{"NitsMultiplier", 1.0}, {"FinalNits", 100.0}};
  auto delegate = std::make_shared<AppDelegate>(fake.platform);
  int refreshes = 0;
  delegate->setRefreshUIHandler([&] { ++refreshes; });
  delegate->applicationDidFinishLaunching();
  Prefs& prefs = delegate->prefs();
  prefs.setSetting(Setting::fixed(80));
  prefs.setSetting(Setting::off());
  prefs.set("ignoreLimits", false);
  delegate->apply();
  ASSERT_EQ(properties[kBacklightModeKey], 0);
  fake.brightness.writes.clear();
  refreshes = 0;

  delegate->resetToApple();
  EXPECT_EQ(prefs.setting(), Setting::automatic());
  EXPECT_EQ(prefs.optionalString("lastOn"), "automatic");
  EXPECT_EQ(prefs.optionalBool("ignoreLimits"), true);
  // The restore, then the apply loop for the automatic setting: both write the platform's tables.
  EXPECT_EQ(fake.brightness.writesOf(kBacklightModeKey), (std::vector<PlistValue>{2, 2}));
  EXPECT_EQ(fake.brightness.writesOf(kMappingKey), (std::vector<PlistValue>(2, plistFromTable(saved))));
  EXPECT_GE(refreshes, 1);
}

TEST(ResetToAppleTest, ARunningSignalKeepsTheLogoUntilItStops) {
  FakePlatform fake;
  auto& properties = fake.brightness.properties;
  for (const auto& key : kTableKeys)
    properties[key] = plistFromTable(LogoController::fallbackDefaults().at(key));
  properties[kBacklightModeKey] = 2;
  properties[kStateKey] = {{"NitsMultiplier", 1.0}, {"FinalNits", 100.0}};
  auto delegate = std::make_shared<AppDelegate>(fake.platform);
  delegate->applicationDidFinishLaunching();
  delegate->prefs().setSetting(Setting::off());
  delegate->requestSignal({SignalRequest::Action::start, "A", Prefs::SignalStyle::steady});
  fake.brightness.writes.clear();

  delegate->resetToApple();
  EXPECT_EQ(delegate->prefs().setting(), Setting::automatic());
  EXPECT_TRUE(fake.brightness.writes.empty()) << "the signal's level stays on the logo";
  delegate->requestSignal({SignalRequest::Action::stop, std::nullopt, std::nullopt});
  EXPECT_EQ(fake.brightness.writesOf(kBacklightModeKey), std::vector<PlistValue>{2});
}

}  // namespace
