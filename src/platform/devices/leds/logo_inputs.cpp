#include "platform/devices/leds/logo_inputs.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

#include "platform/devices/logo_model/logo_service_model.h"
#include "platform/linux_utilities/dbus_signal_relay.h"
#include "platform/linux_utilities/sysfs_read.h"
#include "platform/linux_utilities/uevent_monitor.h"

namespace fs = std::filesystem;

namespace {

const QString kSensorProxy = QStringLiteral("net.hadess.SensorProxy");
const QString kSensorProxyPath = QStringLiteral("/net/hadess/SensorProxy");
constexpr double kLuxPerVendorPercent = 10;

int typeRank(const fs::path& backlight) {
  static const std::array<std::string, 3> order{"firmware", "platform", "raw"};
  auto type = Sysfs::readLine(backlight / "type").value_or("raw");
  auto found = std::find(order.begin(), order.end(), type);
  return static_cast<int>(found - order.begin());
}

}  // namespace

LogoInputs::LogoInputs(Sources sources, std::function<void()> changed)
    : sources_(std::move(sources)), changed_(std::move(changed)) {}

LogoInputs::~LogoInputs() { follow(false, false); }

// Later, not at once: the reaction may stop following, which must not close the source that is
// reporting.
void LogoInputs::notify() { sources_.scheduler.post(changed_); }

std::optional<fs::path> LogoInputs::backlight() {
  auto found = Sysfs::entries(sources_.sysRoot / "class/backlight");
  if (found.empty()) return std::nullopt;
  std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
    return std::pair(typeRank(a), a.filename()) < std::pair(typeRank(b), b.filename());
  });
  return found.front();
}

std::optional<double> LogoInputs::displayLevel() {
  auto panel = backlight();
  if (!panel) return std::nullopt;
  auto maximum = Sysfs::readInteger(*panel / "max_brightness");
  auto level = Sysfs::readInteger(*panel / "actual_brightness");
  if (!level) level = Sysfs::readInteger(*panel / "brightness");
  if (!maximum || *maximum <= 0 || !level) return std::nullopt;
  return std::clamp(static_cast<double>(*level) / static_cast<double>(*maximum), 0.0, 1.0);
}

double LogoInputs::displayNits() {
  double peak = sources_.panelPeakNits ? sources_.panelPeakNits() : LogoServiceModel::kDefaultPanelPeakNits;
  return displayLevel().value_or(LogoServiceModel::kDefaultDisplayLevel) * peak;
}

double LogoInputs::ambientLux() {
  auto bus = sources_.buses.system();
  if (!bus) return LogoServiceModel::kDefaultAmbientLux;
  auto has = DBusCall::property(*bus, kSensorProxy, kSensorProxyPath, kSensorProxy,
                                QStringLiteral("HasAmbientLight"));
  if (!has || !has->toBool()) return LogoServiceModel::kDefaultAmbientLux;
  auto level =
      DBusCall::property(*bus, kSensorProxy, kSensorProxyPath, kSensorProxy, QStringLiteral("LightLevel"));
  auto unit = DBusCall::property(*bus, kSensorProxy, kSensorProxyPath, kSensorProxy,
                                 QStringLiteral("LightLevelUnit"));
  if (!level) return LogoServiceModel::kDefaultAmbientLux;
  double value = std::max(0.0, level->toDouble());
  return unit && unit->toString() == QStringLiteral("vendor") ? value * kLuxPerVendorPercent : value;
}

void LogoInputs::follow(bool display, bool ambientLight) {
  // Following needs a main loop; a process without one (the tool) sets the light once and exits.
  bool mainLoop = QCoreApplication::instance() != nullptr;
  followDisplay(display && mainLoop);
  followAmbientLight(ambientLight && mainLoop);
}

void LogoInputs::followDisplay(bool on) {
  if (!on) {
    uevents_.reset();
    if (poll_) poll_->cancel();
    poll_.reset();
    return;
  }
  if (uevents_ || poll_) return;
  int fd = sources_.openUevents ? sources_.openUevents() : -1;
  if (fd >= 0) {
    uevents_ = std::make_unique<UeventMonitor>(fd, [this](const std::string& subsystem) {
      if (subsystem == "backlight") notify();
    });
    return;
  }
  lastLevel_ = displayLevel();
  poll_ = sources_.scheduler.every(kPollSeconds, [this] {
    auto level = displayLevel();
    if (level == lastLevel_) return;
    lastLevel_ = level;
    notify();
  });
}

void LogoInputs::followAmbientLight(bool on) {
  if (on == (sensorRelay_ != nullptr)) return;
  auto bus = sources_.buses.system();
  if (!bus) return;
  auto call = [&](const char* member) {
    DBusCall::call(
        *bus, DBusCall::method(kSensorProxy, kSensorProxyPath, kSensorProxy, QString::fromLatin1(member)));
  };
  if (!on) {
    // The proxy sends readings only to claimers; releasing stops them.
    call("ReleaseLight");
    sensorRelay_.reset();
    return;
  }
  if (!DBusCall::hasOwner(*bus, kSensorProxy)) return;
  sensorRelay_ = std::make_unique<DBusSignalRelay>([this](const QDBusMessage&) { notify(); });
  sensorRelay_->connectTo(*bus, kSensorProxy, kSensorProxyPath,
                          QStringLiteral("org.freedesktop.DBus.Properties"),
                          QStringLiteral("PropertiesChanged"));
  call("ClaimLight");
}
