// The system events that can change what the automation rules see, and wake, from the Linux
// services that report them: UPower or kernel uevents (power supplies), the power-profiles
// daemon, DRM uevents (displays), the systemd user manager (application units), X11 (active
// window), systemd-logind (lock, sleep, session switch) and the desktop's screen saver.
// Every event arrives on the Qt main thread. Buses are reached only when something subscribes.
#pragma once

#include <QDBusMessage>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/interfaces/system_events.h"
#include "platform/linux_utilities/dbus_buses.h"

class DBusSignalRelay;
class UeventMonitor;
class X11Connection;
class QSocketNotifier;

class LinuxSystemEvents : public SystemEvents {
 public:
  using UeventOpener = std::function<int()>;

  explicit LinuxSystemEvents(DBusBuses buses = {}, std::string x11Display = defaultDisplay(),
                             UeventOpener openUevents = defaultUevents());
  ~LinuxSystemEvents() override;

  // False when no service reports this event here.
  bool subscribe(SystemEvent event, std::function<void()> handler) override;

 private:
  static std::string defaultDisplay();
  static UeventOpener defaultUevents();

  // Connects the source of `event` once; remembers whether there is one.
  bool attach(SystemEvent event);
  bool attachUPower();
  bool attachPowerProfiles();
  bool attachUevents();
  bool attachUserManager();
  bool attachActiveWindow();
  bool attachLogindSession();
  bool attachLogindManager();
  bool attachScreenSaver();
  bool relay(std::optional<QDBusConnection> bus, const QString& service, const QString& path,
             const QString& interface, const QString& name,
             std::function<void(const QDBusMessage&)> onSignal);
  void deliver(SystemEvent event);

  DBusBuses buses_;
  std::string x11Display_;
  UeventOpener openUevents_;
  std::map<SystemEvent, std::vector<std::function<void()>>> handlers_;
  std::map<SystemEvent, bool> attached_;
  std::map<std::string, bool> sources_;  // each source is connected at most once
  bool ueventPowerSupply_ = false;
  std::vector<std::unique_ptr<DBusSignalRelay>> relays_;
  std::unique_ptr<UeventMonitor> uevents_;
  std::unique_ptr<X11Connection> x11_;
  std::unique_ptr<QSocketNotifier> x11Notifier_;
};
