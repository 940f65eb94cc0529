// Power sources from the kernel's power-supply class, and Low Power Mode from the power-profiles
// daemon's active profile.
#pragma once

#include <memory>
#include <string>

#include "platform/interfaces/power_sources.h"
#include "platform/linux_utilities/dbus_buses.h"
#include "platform/linux_utilities/followed_bus_value.h"

class LinuxPowerSources : public PowerSources {
 public:
  explicit LinuxPowerSources(std::string sysRoot = "/sys", DBusBuses buses = {});
  ~LinuxPowerSources() override;

  // AC is an online mains or USB supply. Each battery becomes a source; the machine's own
  // (scope absent or System) is typed "InternalBattery". None when the class is missing.
  std::optional<PowerSourcesSnapshot> snapshot() override;
  // The "power-saver" profile; false when no profile daemon answers. In the application the answer
  // is kept until a daemon signals a change or comes or goes.
  bool lowPowerModeEnabled() override;

 private:
  std::optional<QVariant> askProfiles(QDBusConnection& bus);

  std::string sysRoot_;
  DBusBuses buses_;
  std::unique_ptr<FollowedBusValue> profile_;
};
