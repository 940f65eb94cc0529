// What every logo device must do, run against the fake brightness service the logic tests use,
// against the emulated device in a temporary folder and against a kernel LED on a fixture sysfs
// tree: the logo's tables, mode and live state are tested on the fake, so the fake must keep,
// refuse and forget what the devices do.
#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/fake_logo_service.h"
#include "fakes/temp_tree.h"
#include "fakes/virtual_clock.h"
#include "formats/brightness_table.h"
#include "formats/fallback_tables.h"
#include "linux/dbusmock_bus.h"
#include "linux/led_fixture.h"
#include "platform/devices/emulated/emulated_logo_device.h"
#include "platform/devices/leds/led_logo_device.h"

namespace {

struct FakeDevice {
  FakeBrightnessClient client;
  FakeLogoHardware hardware;
  BrightnessClient& brightness = client;
  LogoHardware& logo = hardware;

  FakeDevice() {
    for (const auto& [key, table] : fallbackTables()) client.properties[key] = plistFromTable(table);
    client.properties[kBacklightModeKey] = 2;
    client.properties[kStateKey] = PlistValue{{"FinalNits", 150.0}};
  }
  // The service goes away with everything it held.
  void remove() {
    client.clientExists = false;
    hardware.present = false;
    client.properties.clear();
  }
};

struct EmulatedDevice {
  TempTree scratch;
  EmulatedLogoDevice device{scratch / "runtime/halomark/logo-device.json"};
  BrightnessClient& brightness = device;
  LogoHardware& logo = device;

  EmulatedDevice() { EXPECT_EQ(device.create(), std::nullopt); }
  void remove() { EXPECT_EQ(device.remove(), std::nullopt); }
};

struct LedDevice {
  static constexpr const char* kLogo = "platform::logo";
  LedFixture fixture;
  VirtualClock clock;
  LedLogoDevice device = make();
  BrightnessClient& brightness = device;
  LogoHardware& logo = device;

  LedLogoDevice make() {
    ensureCoreApplication();
    fixture.addBacklight("intel_backlight", "raw", 1000, 500);
    fixture.addLed(kLogo, 255, 0);
    return LedLogoDevice({fixture.sys(), fixture.runtime(), unreachableBuses(), [] { return -1; }, clock,
                          [] { return std::nullopt; }, [] { return 500.0; }});
  }
  // The light is unplugged.
  void remove() { std::filesystem::remove_all(fixture.led(kLogo)); }
};

template <typename Backend>
class LogoDeviceContract : public ::testing::Test {
 protected:
  Backend backend;
  BrightnessClient& brightness = backend.brightness;
  LogoHardware& logo = backend.logo;

  std::optional<BrightnessTable> table(const std::string& key) {
    auto value = brightness.copyProperty(key);
    return value ? tableFromPlist(*value) : std::nullopt;
  }
  std::optional<double> mode() {
    auto value = brightness.copyProperty(kBacklightModeKey);
    if (!value || !value->is_number()) return std::nullopt;
    return value->get<double>();
  }
};

using Backends = ::testing::Types<FakeDevice, EmulatedDevice, LedDevice>;
TYPED_TEST_SUITE(LogoDeviceContract, Backends);

TYPED_TEST(LogoDeviceContract, APresentDeviceIsTheLogoAndShowsItsTablesModeAndState) {
  EXPECT_TRUE(this->logo.hasLogoBacklight());
  EXPECT_EQ(this->logo.accessAdvice(), std::nullopt) << "a device that can be written needs no advice";
  EXPECT_TRUE(this->brightness.exists());
  EXPECT_TRUE(this->brightness.respondsToCopyProperty());
  for (const auto& key : kTableKeys) {
    auto table = this->table(key);
    ASSERT_TRUE(table) << key;
    EXPECT_FALSE(table->empty()) << key;
  }
  auto mode = this->mode();
  ASSERT_TRUE(mode);
  EXPECT_TRUE(*mode == 0 || *mode == 1 || *mode == 2) << *mode;
  auto state = this->brightness.copyProperty(kStateKey);
  ASSERT_TRUE(state);
  ASSERT_TRUE(state->is_object());
  EXPECT_TRUE(state->contains("FinalNits"));
  EXPECT_EQ(this->brightness.copyProperty("LEPWMNoSuchProperty"), std::nullopt);
}

TYPED_TEST(LogoDeviceContract, ATableReadsBackAtOnceAndStaysWithTheModeWrittenAfterIt) {
  const BrightnessTable flat = {{0, 0}, {0.1, 200}, {kFltMax, 200}};
  auto minimumBefore = this->table(kMinRestrictionKey);
  ASSERT_TRUE(minimumBefore);
  EXPECT_EQ(this->brightness.setProperty(plistFromTable(flat), kMappingKey), true);
  EXPECT_EQ(this->table(kMappingKey), flat) << "read back before the mode goes with it";

  EXPECT_EQ(this->brightness.setProperty(2, kBacklightModeKey), true);
  EXPECT_EQ(this->mode(), 2);
  EXPECT_EQ(this->table(kMappingKey), flat);
  EXPECT_EQ(this->table(kMinRestrictionKey), minimumBefore) << "a table not written stays as it was";

  EXPECT_EQ(this->brightness.setProperty(0, kBacklightModeKey), true);
  EXPECT_EQ(this->mode(), 0);
  EXPECT_EQ(this->table(kMappingKey), flat) << "turning the logo off keeps its tables";
}

TYPED_TEST(LogoDeviceContract, WhatNoServiceCouldHoldIsRefusedAndChangesNothing) {
  auto mappingBefore = this->table(kMappingKey);
  auto modeBefore = this->mode();
  ASSERT_TRUE(mappingBefore);
  struct Write {
    const char* what;
    PlistValue value;
    std::string key;
  };
  const std::vector<Write> refused = {
      {"a table that is text", "rows", kMappingKey},
      {"a row of one number", PlistValue::array({PlistValue::array({1})}), kMappingKey},
      {"a row with text in it", PlistValue::array({PlistValue::array({0, "bright"})}), kMaxRestrictionKey},
      {"a mode the service has not", 7, kBacklightModeKey},
      {"a mode that is text", "on", kBacklightModeKey},
      {"the live state, which the service computes", PlistValue{{"FinalNits", 10.0}}, kStateKey},
      {"a property the service has not", 1, "LEPWMNoSuchProperty"},
  };
  for (const auto& write : refused) {
    EXPECT_EQ(this->brightness.setProperty(write.value, write.key), false) << write.what;
  }
  EXPECT_EQ(this->table(kMappingKey), mappingBefore);
  EXPECT_EQ(this->mode(), modeBefore);
}

TYPED_TEST(LogoDeviceContract, AnAbsentDeviceIsNoLogoReadsNothingAndTakesNoWrite) {
  this->backend.remove();
  EXPECT_FALSE(this->logo.hasLogoBacklight());
  EXPECT_FALSE(this->brightness.exists());
  EXPECT_EQ(this->brightness.copyProperty(kStateKey), std::nullopt);
  EXPECT_EQ(this->brightness.copyProperty(kMappingKey), std::nullopt);
  EXPECT_EQ(this->brightness.copyProperty(kBacklightModeKey), std::nullopt);
  EXPECT_EQ(this->brightness.setProperty(plistFromTable({{0, 0}, {kFltMax, 50}}), kMappingKey), false);
  EXPECT_EQ(this->brightness.setProperty(2, kBacklightModeKey), false);
}

}  // namespace
