// A launched application on the fakes, with the settings model's services and a temporary home and
// bundle, for the window models' tests.
#pragma once

#include <memory>
#include <string>

#include "app/app_delegate.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_window_services.h"
#include "fakes/temp_tree.h"
#include "formats/app_identifier.h"
#include "maintenance/apple_tables.h"

class LaunchedApplication {
 public:
  LaunchedApplication() {
    auto& p = fake.brightness.properties;
    const BrightnessTable table = {{0, 0}, {20, 30}, {300, 300}, {LogoController::fltMax, 900}};
    for (const auto& key : kTableKeys) p[key] = plistFromTable(table);
    p[kBacklightModeKey] = 2;
    p[kStateKey] = {{"NitsMultiplier", 1.0}, {"FinalNits", 100.0}};
    fake.process.home = tree.path("home");
    fake.bundles.mainIdentifier = kAppIdentifier;
    fake.bundles.mainPath = bundle;
    delegate = std::make_shared<AppDelegate>(fake.platform);
    delegate->applicationDidFinishLaunching();
  }

  PlistValue stored(const std::string& key) { return fake.preferences.domains[kAppIdentifier][key]; }
  bool has(const std::string& key) { return fake.preferences.domains[kAppIdentifier].count(key) > 0; }
  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier][key] = value;
  }

  TempTree tree;
  std::string bundle = tree.makeBundle("Applications/Halomark.app");
  FakePlatform fake;
  FakeWindowServices window;
  std::shared_ptr<AppDelegate> delegate;
};
