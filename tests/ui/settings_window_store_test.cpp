#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "fakes/fake_platform.h"
#include "fakes/fake_window_services.h"
#include "fakes/temp_tree.h"
#include "formats/app_identifier.h"
#include "maintenance/apple_tables.h"
#include "platform/linux_services/preference_domains_linux.h"
#include "ui/settings_window.h"
#include "ui/widget_lookup.h"

namespace {

// The window on the real preference store (a file in a temporary folder), the rest on the fakes.
TEST(SettingsWindowStoreTest, OnBatteryPowerReachesThePreferenceFileAndTurnsTheLogoOff) {
  TempTree tree;
  LinuxPreferenceDomains store(tree.path("config/halomark"));
  FakePlatform f;
  Platform platform = f.with({.preferences = &store});
  const BrightnessTable table = {{0, 0}, {20, 30}, {300, 300}, {LogoController::fltMax, 900}};
  for (const auto& key : kTableKeys) f.brightness.properties[key] = plistFromTable(table);
  f.brightness.properties[kBacklightModeKey] = 2;
  f.brightness.properties[kStateKey] = {{"NitsMultiplier", 1.0}, {"FinalNits", 100.0}};
  f.process.home = tree.path("home");
  f.powerSources.state = PowerSourcesSnapshot{"Battery Power", {}};
  auto delegate = std::make_shared<AppDelegate>(platform);
  delegate->applicationDidFinishLaunching();
  FakeWindowServices window;
  SettingsModel model(*delegate, platform, window.services);
  SettingsWindow settings(model, {});
  settings.present(SettingsTab::automation);
  WidgetLookup::settle();

  auto modeWrites = f.brightness.writesOf(kBacklightModeKey).size();
  WidgetLookup::toggleNamed(&settings, "On battery power")->click();
  auto stored = nlohmann::json::parse(
      TempTree::read(tree.path("config/halomark/") + kAppIdentifier + ".json"), nullptr, false);
  ASSERT_TRUE(stored.is_object());
  EXPECT_EQ(stored.value("offOnBattery", false), true);
  auto writes = f.brightness.writesOf(kBacklightModeKey);
  ASSERT_GT(writes.size(), modeWrites);
  EXPECT_EQ(writes.back(), 0);
}

}  // namespace
