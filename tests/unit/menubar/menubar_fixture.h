// A launched delegate on the fakes, with a logo that reads back a brightness, for the menu tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/app_delegate.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"
#include "maintenance/apple_tables.h"
#include "menubar/menu_state.h"

class MenuBarTest : public ::testing::Test {
 protected:
  MenuBarTest() {
    auto& p = fake.brightness.properties;
    p[kMappingKey] = plistFromTable({{0, 0}, {20, 30}, {300, 300}, {LogoController::fltMax, 900}});
    p[kMinRestrictionKey] = plistFromTable({{0, 10}, {500, 300}, {LogoController::fltMax, 1000}});
    p[kMaxRestrictionKey] = plistFromTable({{0, 200}, {200, 1000}, {LogoController::fltMax, 1000}});
    p[kBacklightModeKey] = 2;
    p[kStateKey] = {{"NitsMultiplier", 1.0}, {"FinalNits", 86.6}};
    delegate = std::make_shared<AppDelegate>(fake.platform);
    delegate->setRefreshUIHandler([this] { ++refreshes; });
  }

  void launch() { delegate->applicationDidFinishLaunching(); }
  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier][key] = value;
  }
  PlistValue stored(const std::string& key) { return fake.preferences.domains[kAppIdentifier][key]; }
  void reportNits(std::optional<double> nits) {
    auto& state = fake.brightness.properties[kStateKey];
    if (nits) {
      state["FinalNits"] = *nits;
    } else {
      state.erase("FinalNits");
    }
  }
  void onBattery(std::optional<long long> percent = std::nullopt) {
    PlistValue battery = {{"Type", "InternalBattery"}};
    if (percent) battery.update({{"Current Capacity", *percent}, {"Max Capacity", 100}});
    fake.powerSources.state = PowerSourcesSnapshot{"Battery Power", {battery}};
  }
  MenuState state() { return MenuState::derive(*delegate, fake.platform); }

  FakePlatform fake;
  std::shared_ptr<AppDelegate> delegate;
  int refreshes = 0;
};
