// The power-supply and DRM readers on fixture trees of a fake /sys.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "automation/power_state.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_tree.h"
#include "platform/linux_services/displays_linux.h"
#include "platform/linux_services/power_sources_linux.h"

namespace fs = std::filesystem;

namespace {

std::string fixture(const std::string& name) { return std::string(HALOMARK_TEST_DATA) + "/sysfs/" + name; }

// A platform of fakes whose power sources and displays read the given fake /sys.
struct SysfsPlatform {
  explicit SysfsPlatform(const std::string& root)
      : powerSources(root, DBusBuses(offline, offline)), displays(root) {}
  static QDBusConnection offline() { return QDBusConnection(QStringLiteral("not-connected")); }

  FakePlatform f;
  LinuxPowerSources powerSources;
  LinuxDisplays displays;
  Platform platform = f.with({.displays = &displays, .powerSources = &powerSources});
};

TEST(SysfsSamplers, LaptopOnBatteryAtTwoOfThreeWithAnExternalPack) {
  SysfsPlatform machine(fixture("laptop-on-battery"));
  auto snapshot = machine.powerSources.snapshot();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->providingSourceType, "Battery Power");
  ASSERT_EQ(snapshot->sources.size(), 2u);
  EXPECT_EQ(snapshot->sources[0]["Type"], "InternalBattery");
  EXPECT_EQ(snapshot->sources[0]["Current Capacity"], 20000000);
  EXPECT_EQ(snapshot->sources[0]["Max Capacity"], 30000000);
  EXPECT_NE(snapshot->sources[1]["Type"], "InternalBattery");

  auto state = Power::current(machine.platform);
  EXPECT_TRUE(state.onBattery);
  EXPECT_EQ(state.percent, 67) << "the external pack's 95% must not count";
  EXPECT_FALSE(state.lowPowerMode) << "no profile daemon reads as off";
  EXPECT_TRUE(state.externalDisplayConnected) << "eDP and HDMI are connected";
}

TEST(SysfsSamplers, LaptopChargingReadsChargeAndTheBuiltInPanel) {
  SysfsPlatform machine(fixture("laptop-charging"));
  auto state = Power::current(machine.platform);
  EXPECT_FALSE(state.onBattery);
  EXPECT_EQ(state.percent, 50);
  EXPECT_FALSE(state.externalDisplayConnected);
  auto online = machine.displays.onlineDisplays(8);
  ASSERT_TRUE(online);
  ASSERT_EQ(online->size(), 1u);
  EXPECT_TRUE(machine.displays.isBuiltIn(online->front()));
}

TEST(SysfsSamplers, DesktopWithoutBatteryAndHdmiAlone) {
  SysfsPlatform machine(fixture("desktop"));
  auto snapshot = machine.powerSources.snapshot();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->providingSourceType, "AC Power");
  auto state = Power::current(machine.platform);
  EXPECT_FALSE(state.onBattery);
  EXPECT_EQ(state.percent, std::nullopt) << "a mouse battery is not the machine's";
  auto online = machine.displays.onlineDisplays(8);
  ASSERT_TRUE(online);
  ASSERT_EQ(online->size(), 1u);
  EXPECT_FALSE(machine.displays.isBuiltIn(online->front()));
  EXPECT_FALSE(state.externalDisplayConnected) << "a lone external display does not count";
}

TEST(SysfsSamplers, DisplayIdentifiersAreStableAndCapped) {
  LinuxDisplays displays(fixture("laptop-on-battery"));
  auto first = displays.onlineDisplays(8);
  auto again = LinuxDisplays(fixture("laptop-on-battery")).onlineDisplays(8);
  ASSERT_TRUE(first);
  ASSERT_EQ(first->size(), 2u);
  EXPECT_EQ(first, again);
  EXPECT_NE((*first)[0], (*first)[1]);
  EXPECT_EQ(displays.onlineDisplays(1)->size(), 1u);
  int builtIn = displays.isBuiltIn((*first)[0]) + displays.isBuiltIn((*first)[1]);
  EXPECT_EQ(builtIn, 1);
  EXPECT_FALSE(displays.isBuiltIn(12345));
}

class TemporarySysfs : public ::testing::Test {
 protected:
  TempTree scratch;
  fs::path root = scratch.root();
  void write(const std::string& relative, const std::string& text) {
    fs::path file = root / "class" / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
  }
};

TEST_F(TemporarySysfs, CapacityFallsBackAndAbsentBatteriesAreSkipped) {
  write("power_supply/BAT0/type", "Battery");
  write("power_supply/BAT0/energy_now", "5");
  write("power_supply/BAT0/energy_full", "0");
  write("power_supply/BAT0/capacity", "42");
  write("power_supply/BAT1/type", "Battery");
  write("power_supply/BAT1/present", "0");
  write("power_supply/BAT1/capacity", "99");
  write("power_supply/usb/type", "USB");
  write("power_supply/usb/online", "2");
  auto snapshot =
      LinuxPowerSources(root.string(), DBusBuses(SysfsPlatform::offline, SysfsPlatform::offline)).snapshot();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->providingSourceType, "AC Power") << "an online USB supply is AC";
  ASSERT_EQ(snapshot->sources.size(), 1u);
  EXPECT_EQ(snapshot->sources[0]["Current Capacity"], 42);
  EXPECT_EQ(snapshot->sources[0]["Max Capacity"], 100);
}

TEST_F(TemporarySysfs, MissingClassesReadAsNoServiceAndNoDisplays) {
  EXPECT_EQ(
      LinuxPowerSources(root.string(), DBusBuses(SysfsPlatform::offline, SysfsPlatform::offline)).snapshot(),
      std::nullopt);
  auto online = LinuxDisplays(root.string()).onlineDisplays(8);
  ASSERT_TRUE(online);
  EXPECT_TRUE(online->empty());
}

}  // namespace
