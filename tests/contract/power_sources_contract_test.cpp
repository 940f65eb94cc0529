// What the automation rules read of every PowerSources, run against the fake the logic tests use and
// against the Linux power-supply reader on fixture trees of a fake /sys: the same three machines must
// read the same way through both.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "automation/power_state.h"
#include "fakes/fake_platform.h"
#include "platform/linux_services/power_sources_linux.h"

namespace {

enum class Machine { laptopOnBattery, laptopCharging, desktop };

PlistValue battery(const std::string& type, long long current, long long max) {
  return {{"Type", type}, {"Current Capacity", current}, {"Max Capacity", max}};
}

// The fake, scripted with what each machine's power sources report.
struct FakeSources {
  FakePowerSources sources;
  void describe(Machine machine) {
    switch (machine) {
      case Machine::laptopOnBattery:
        sources.state = PowerSourcesSnapshot{
            "Battery Power", {battery("InternalBattery", 20000000, 30000000), battery("UPS", 95, 100)}};
        break;
      case Machine::laptopCharging:
        sources.state = PowerSourcesSnapshot{"AC Power", {battery("InternalBattery", 50, 100)}};
        break;
      case Machine::desktop:
        sources.state = PowerSourcesSnapshot{"AC Power", {battery("UPS", 40, 100)}};
        break;
    }
  }
  PowerSources& get() { return sources; }
};

// The Linux reader on the fixture tree of each machine, with no bus to ask about power profiles.
struct LinuxSources {
  std::unique_ptr<LinuxPowerSources> sources;
  static QDBusConnection offline() { return QDBusConnection(QStringLiteral("not-connected")); }
  void describe(Machine machine) {
    const char* names[] = {"laptop-on-battery", "laptop-charging", "desktop"};
    std::string root = std::string(HALOMARK_TEST_DATA) + "/sysfs/" + names[static_cast<int>(machine)];
    sources = std::make_unique<LinuxPowerSources>(root, DBusBuses(offline, offline));
  }
  PowerSources& get() { return *sources; }
};

template <typename Sources>
class PowerSourcesContract : public ::testing::Test {
 protected:
  Sources backend;
  FakePlatform f;

  Power::State read(Machine machine) {
    backend.describe(machine);
    Platform platform = f.with({.powerSources = &backend.get()});
    return Power::current(platform);
  }
};

using Backends = ::testing::Types<FakeSources, LinuxSources>;
TYPED_TEST_SUITE(PowerSourcesContract, Backends);

TYPED_TEST(PowerSourcesContract, OnlyTheMachinesOwnBatteryCounts) {
  auto onBattery = this->read(Machine::laptopOnBattery);
  EXPECT_TRUE(onBattery.onBattery);
  EXPECT_EQ(onBattery.percent, 67) << "the external pack must not count";
  EXPECT_FALSE(onBattery.lowPowerMode);

  auto charging = this->read(Machine::laptopCharging);
  EXPECT_FALSE(charging.onBattery);
  EXPECT_EQ(charging.percent, 50);

  auto desktop = this->read(Machine::desktop);
  EXPECT_FALSE(desktop.onBattery);
  EXPECT_EQ(desktop.percent, std::nullopt);
}

}  // namespace
