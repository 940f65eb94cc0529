// What a real logo's brightness follows: the built-in panel's backlight (in nits, from its level
// and an assumed peak) and the ambient light from iio-sensor-proxy. Changes are followed from the
// kernel's backlight uevents and the sensor proxy's signals; only where no uevents can be had does
// a slow poll stand in, and only while something follows the display.
#pragma once

#include <QDBusConnection>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/interfaces/scheduler.h"
#include "platform/linux_utilities/dbus_buses.h"

class DBusSignalRelay;
class UeventMonitor;

class LogoInputs {
 public:
  struct Sources {
    std::filesystem::path sysRoot;
    DBusBuses buses;
    // A uevent socket, -1 when none can be had.
    std::function<int()> openUevents;
    Scheduler& scheduler;
    // The panel's brightest, in nits: Halomark cannot measure it, so the user may say.
    std::function<double()> panelPeakNits;
  };
  static constexpr double kPollSeconds = 10;

  // `changed` runs on a later turn of the main loop after a followed input changed.
  LogoInputs(Sources sources, std::function<void()> changed);
  ~LogoInputs();
  LogoInputs(const LogoInputs&) = delete;
  LogoInputs& operator=(const LogoInputs&) = delete;

  // The built-in panel's level 0...1: a firmware backlight before a platform one before a raw one.
  // None without a backlight.
  std::optional<double> displayLevel();
  // The level times the panel's peak; the shared default where there is no backlight.
  double displayNits();
  // Lux from the sensor proxy (a "vendor" reading, percent of the sensor's range, counts 10 lux
  // per percent); the shared default where there is no sensor.
  double ambientLux();

  // Following nothing closes every source, so an idle logo wakes nobody.
  void follow(bool display, bool ambientLight);

 private:
  void followDisplay(bool on);
  void followAmbientLight(bool on);
  std::optional<std::filesystem::path> backlight();
  void notify();

  Sources sources_;
  std::function<void()> changed_;
  std::unique_ptr<UeventMonitor> uevents_;
  std::shared_ptr<TimerHandle> poll_;
  std::unique_ptr<DBusSignalRelay> sensorRelay_;
  std::optional<double> lastLevel_;
};
