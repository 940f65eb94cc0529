#include "platform/linux_services/power_sources_linux.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/linux_utilities/sysfs_read.h"

namespace fs = std::filesystem;

namespace {

struct Capacity {
  long long current;
  long long maximum;
};

// Energy, else charge, else the kernel's own percentage.
std::optional<Capacity> capacityOf(const fs::path& supply) {
  for (const char* prefix : {"energy", "charge"}) {
    auto now = Sysfs::readInteger(supply / (std::string(prefix) + "_now"));
    auto full = Sysfs::readInteger(supply / (std::string(prefix) + "_full"));
    if (now && full && *full >= 1) return Capacity{*now, *full};
  }
  if (auto percent = Sysfs::readInteger(supply / "capacity")) return Capacity{*percent, 100};
  return std::nullopt;
}

bool isInternal(const fs::path& supply) {
  auto scope = Sysfs::readLine(supply / "scope");
  return !scope || *scope == "System";
}

PlistValue describeBattery(const fs::path& supply, bool internal) {
  PlistValue description = {{"Name", supply.filename().string()},
                            {"Type", internal ? "InternalBattery" : "ExternalBattery"}};
  if (auto capacity = capacityOf(supply)) {
    description["Current Capacity"] = capacity->current;
    description["Max Capacity"] = capacity->maximum;
  }
  return description;
}

// Current daemons answer under both names, the older ones under the second only.
const std::pair<QString, QString> kProfileDaemons[] = {
    {QStringLiteral("org.freedesktop.UPower.PowerProfiles"),
     QStringLiteral("/org/freedesktop/UPower/PowerProfiles")},
    {QStringLiteral("net.hadess.PowerProfiles"), QStringLiteral("/net/hadess/PowerProfiles")}};

}  // namespace

LinuxPowerSources::LinuxPowerSources(std::string sysRoot, DBusBuses buses)
    : sysRoot_(std::move(sysRoot)), buses_(std::move(buses)) {}

LinuxPowerSources::~LinuxPowerSources() = default;

std::optional<PowerSourcesSnapshot> LinuxPowerSources::snapshot() {
  fs::path directory = fs::path(sysRoot_) / "class" / "power_supply";
  std::error_code error;
  if (!fs::is_directory(directory, error)) return std::nullopt;
  PowerSourcesSnapshot snapshot;
  bool acOnline = false;
  bool internalBattery = false;
  for (const auto& supply : Sysfs::entries(directory)) {
    auto type = Sysfs::readLine(supply / "type");
    if (type == "Mains" || type == "USB") {
      acOnline = acOnline || Sysfs::readInteger(supply / "online").value_or(0) != 0;
    } else if (type == "Battery" && Sysfs::readInteger(supply / "present").value_or(1) != 0) {
      bool internal = isInternal(supply);
      internalBattery = internalBattery || internal;
      snapshot.sources.push_back(describeBattery(supply, internal));
    }
  }
  // A machine without a battery of its own runs on mains.
  snapshot.providingSourceType = (!acOnline && internalBattery) ? "Battery Power" : "AC Power";
  return snapshot;
}

bool LinuxPowerSources::lowPowerModeEnabled() {
  auto bus = buses_.system();
  if (!bus) return false;
  if (!profile_) {
    profile_ = std::make_unique<FollowedBusValue>([this, bus]() mutable { return askProfiles(*bus); });
    for (const auto& [service, path] : kProfileDaemons) {
      profile_->follow(*bus, service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("PropertiesChanged"));
      profile_->followOwner(*bus, service);
    }
  }
  auto profile = profile_->value();
  return profile && profile->toString() == QStringLiteral("power-saver");
}

std::optional<QVariant> LinuxPowerSources::askProfiles(QDBusConnection& bus) {
  // Only a daemon that is there is asked: an error reply from an absent one makes Qt's bus thread
  // warn when a short-lived tool returns from main while it still handles it.
  for (const auto& [service, path] : kProfileDaemons) {
    if (DBusCall::hasOwner(bus, service))
      return DBusCall::property(bus, service, path, service, QStringLiteral("ActiveProfile"));
  }
  return std::nullopt;
}
