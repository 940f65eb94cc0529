// The delegate on the fakes, with the platform's own tables installed: the fixture the delegate's
// tests share.
#pragma once

#include <gtest/gtest.h>

#include "app/app_delegate.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"
#include "maintenance/apple_tables.h"

inline const BrightnessTable kPlatformMapping = {
    {0, 0}, {0.1, 10}, {20, 30}, {300, 300}, {LogoController::fltMax, 900}};
inline const BrightnessTable kPlatformMin = {{0, 10}, {100, 100}, {500, 300}, {LogoController::fltMax, 1000}};
inline const BrightnessTable kPlatformMax = {
    {0, 200}, {100, 500}, {200, 1000}, {LogoController::fltMax, 1000}};

class AppDelegateTest : public ::testing::Test {
 protected:
  AppDelegateTest() {
    installPlatformState();
    delegate = std::make_shared<AppDelegate>(fake.platform);
    delegate->setRefreshUIHandler([this] { ++refreshes; });
  }

  void installPlatformState() {
    auto& p = fake.brightness.properties;
    p[kMappingKey] = plistFromTable(kPlatformMapping);
    p[kMinRestrictionKey] = plistFromTable(kPlatformMin);
    p[kMaxRestrictionKey] = plistFromTable(kPlatformMax);
    p[kBacklightModeKey] = 2;
    p[kStateKey] = {{"NitsMultiplier", 1.0}, {"FinalNits", 100.0}};
  }

  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier][key] = value;
  }
  BrightnessTable installed(const std::string& key) {
    return *tableFromPlist(fake.brightness.properties[key]);
  }
  void install(const std::string& key, const BrightnessTable& table) {
    fake.brightness.properties[key] = plistFromTable(table);
  }
  std::size_t writeCount() const { return fake.brightness.writes.size(); }
  std::vector<PlistValue> modeWrites() const { return fake.brightness.writesOf(kBacklightModeKey); }

  void launch() { delegate->applicationDidFinishLaunching(); }
  void deliverSignal(const PlistDictionary& payload) {
    fake.notifications.deliver(std::string(kAppIdentifier) + ".signal", payload);
  }

  FakePlatform fake;
  std::shared_ptr<AppDelegate> delegate;
  int refreshes = 0;
};
