#include "platform/linux_services/system_events_linux.h"

#include <QDBusArgument>
#include <QSocketNotifier>
#include <QStringList>

#include "platform/linux_utilities/app_units.h"
#include "platform/linux_utilities/dbus_signal_relay.h"
#include "platform/linux_utilities/logind_session.h"
#include "platform/linux_utilities/uevent_monitor.h"
#include "platform/linux_utilities/x11_connection.h"

namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kPropertiesChanged = QStringLiteral("PropertiesChanged");
const QString kUPower = QStringLiteral("org.freedesktop.UPower");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kSystemd = QStringLiteral("org.freedesktop.systemd1");
const QString kSystemdPath = QStringLiteral("/org/freedesktop/systemd1");

// The changed properties of a PropertiesChanged signal, and whether `name` was among them
// (by value or only invalidated).
struct PropertyChange {
  QVariantMap changed;
  QStringList invalidated;
  bool touches(const QString& name) const { return changed.contains(name) || invalidated.contains(name); }
};

PropertyChange propertyChange(const QDBusMessage& message) {
  PropertyChange change;
  const auto arguments = message.arguments();
  if (arguments.size() < 3) return change;
  arguments.at(1).value<QDBusArgument>() >> change.changed;
  change.invalidated = arguments.at(2).toStringList();
  return change;
}

bool ownedOrActivatable(QDBusConnection& bus, const QString& service) {
  if (DBusCall::hasOwner(bus, service)) return true;
  auto reply = DBusCall::call(
      bus, DBusCall::method(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames")));
  return reply && !reply->isEmpty() && reply->first().toStringList().contains(service);
}

}  // namespace

LinuxSystemEvents::LinuxSystemEvents(DBusBuses buses, std::string x11Display, UeventOpener openUevents)
    : buses_(std::move(buses)), x11Display_(std::move(x11Display)), openUevents_(std::move(openUevents)) {}

LinuxSystemEvents::~LinuxSystemEvents() = default;

std::string LinuxSystemEvents::defaultDisplay() { return X11Connection::displayFromEnvironment(); }

LinuxSystemEvents::UeventOpener LinuxSystemEvents::defaultUevents() {
  return UeventMonitor::openKernelSocket;
}

bool LinuxSystemEvents::subscribe(SystemEvent event, std::function<void()> handler) {
  if (!attach(event)) return false;
  handlers_[event].push_back(std::move(handler));
  return true;
}

void LinuxSystemEvents::deliver(SystemEvent event) {
  auto found = handlers_.find(event);
  if (found == handlers_.end()) return;
  // A handler may subscribe again; iterate over a copy.
  auto handlers = found->second;
  for (auto& handler : handlers) handler();
}

bool LinuxSystemEvents::attach(SystemEvent event) {
  auto known = attached_.find(event);
  if (known != attached_.end()) return known->second;
  auto once = [this](const std::string& name, bool (LinuxSystemEvents::*connect)()) {
    auto source = sources_.find(name);
    if (source == sources_.end()) source = sources_.emplace(name, (this->*connect)()).first;
    return source->second;
  };
  bool present = false;
  switch (event) {
    case SystemEvent::powerSourceChanged:
      present = once("upower", &LinuxSystemEvents::attachUPower);
      if (!present && once("uevents", &LinuxSystemEvents::attachUevents)) present = ueventPowerSupply_ = true;
      break;
    case SystemEvent::powerStateChanged:
      present = once("profiles", &LinuxSystemEvents::attachPowerProfiles);
      break;
    case SystemEvent::screenParametersChanged:
      present = once("uevents", &LinuxSystemEvents::attachUevents);
      break;
    case SystemEvent::applicationLaunched:
    case SystemEvent::applicationTerminated:
      present = once("systemd", &LinuxSystemEvents::attachUserManager);
      break;
    case SystemEvent::applicationActivated:
      present = once("x11", &LinuxSystemEvents::attachActiveWindow);
      break;
    case SystemEvent::screenLocked:
    case SystemEvent::screenUnlocked: {
      bool session = once("logind-session", &LinuxSystemEvents::attachLogindSession);
      bool saver = once("screensaver", &LinuxSystemEvents::attachScreenSaver);
      present = session || saver;
      break;
    }
    case SystemEvent::screensDidWake:
      present = once("screensaver", &LinuxSystemEvents::attachScreenSaver);
      break;
    case SystemEvent::didWake: present = once("logind", &LinuxSystemEvents::attachLogindManager); break;
    case SystemEvent::sessionDidBecomeActive:
      present = once("logind-session", &LinuxSystemEvents::attachLogindSession);
      break;
  }
  attached_[event] = present;
  return present;
}

bool LinuxSystemEvents::relay(std::optional<QDBusConnection> bus, const QString& service, const QString& path,
                              const QString& interface, const QString& name,
                              std::function<void(const QDBusMessage&)> onSignal) {
  if (!bus) return false;
  auto relay = std::make_unique<DBusSignalRelay>(std::move(onSignal));
  if (!relay->connectTo(*bus, service, path, interface, name)) return false;
  relays_.push_back(std::move(relay));
  return true;
}

bool LinuxSystemEvents::attachUPower() {
  auto bus = buses_.system();
  if (!bus || !ownedOrActivatable(*bus, kUPower)) return false;
  auto fire = [this](const QDBusMessage&) { deliver(SystemEvent::powerSourceChanged); };
  const QString path = QStringLiteral("/org/freedesktop/UPower");
  // Any device's property (online, state, charge) and the daemon's own OnBattery; an empty path
  // takes every object of the service.
  return relay(bus, kUPower, path, kUPower, QStringLiteral("DeviceAdded"), fire) &&
         relay(bus, kUPower, path, kUPower, QStringLiteral("DeviceRemoved"), fire) &&
         relay(bus, kUPower, QString(), kProperties, kPropertiesChanged, fire);
}

bool LinuxSystemEvents::attachPowerProfiles() {
  auto bus = buses_.system();
  if (!bus) return false;
  // Current daemons answer under both names; listening to one avoids hearing each change twice.
  const std::pair<QString, QString> daemons[] = {
      {QStringLiteral("org.freedesktop.UPower.PowerProfiles"),
       QStringLiteral("/org/freedesktop/UPower/PowerProfiles")},
      {QStringLiteral("net.hadess.PowerProfiles"), QStringLiteral("/net/hadess/PowerProfiles")}};
  for (const auto& [service, path] : daemons) {
    if (!ownedOrActivatable(*bus, service)) continue;
    return relay(bus, service, path, kProperties, kPropertiesChanged, [this](const QDBusMessage& message) {
      if (propertyChange(message).touches(QStringLiteral("ActiveProfile")))
        deliver(SystemEvent::powerStateChanged);
    });
  }
  return false;
}

bool LinuxSystemEvents::attachUevents() {
  int fd = openUevents_ ? openUevents_() : -1;
  if (fd < 0) return false;
  uevents_ = std::make_unique<UeventMonitor>(fd, [this](const std::string& subsystem) {
    if (subsystem == "drm") deliver(SystemEvent::screenParametersChanged);
    if (subsystem == "power_supply" && ueventPowerSupply_) deliver(SystemEvent::powerSourceChanged);
  });
  return true;
}

bool LinuxSystemEvents::attachUserManager() {
  auto bus = buses_.session();
  if (!bus || !DBusCall::hasOwner(*bus, kSystemd)) return false;
  const QString manager = kSystemd + QStringLiteral(".Manager");
  // The manager sends unit signals only to clients that asked for them.
  if (!DBusCall::call(*bus, DBusCall::method(kSystemd, kSystemdPath, manager, QStringLiteral("Subscribe")))) {
    return false;
  }
  auto onUnit = [this](SystemEvent event) {
    return [this, event](const QDBusMessage& message) {
      const auto arguments = message.arguments();
      if (arguments.isEmpty() || !AppUnits::appIdFromUnit(arguments.first().toString().toStdString())) return;
      deliver(event);
    };
  };
  return relay(bus, kSystemd, kSystemdPath, manager, QStringLiteral("UnitNew"),
               onUnit(SystemEvent::applicationLaunched)) &&
         relay(bus, kSystemd, kSystemdPath, manager, QStringLiteral("UnitRemoved"),
               onUnit(SystemEvent::applicationTerminated));
}

bool LinuxSystemEvents::attachActiveWindow() {
  auto x11 = std::make_unique<X11Connection>(x11Display_);
  if (!x11->watchRootProperties()) return false;
  x11_ = std::move(x11);
  x11Notifier_ = std::make_unique<QSocketNotifier>(x11_->fileDescriptor(), QSocketNotifier::Read);
  QObject::connect(x11Notifier_.get(), &QSocketNotifier::activated, x11Notifier_.get(), [this] {
    for (int changes = x11_->takeActiveWindowChanges(); changes > 0; --changes) {
      deliver(SystemEvent::applicationActivated);
    }
    // A lost X server would otherwise keep waking the loop.
    if (!x11_->isOpen()) x11Notifier_->setEnabled(false);
  });
  return true;
}

bool LinuxSystemEvents::attachLogindSession() {
  auto bus = buses_.system();
  if (!bus) return false;
  auto session = Logind::sessionPath(*bus);
  if (!session) return false;
  return relay(bus, Logind::kService, *session, kProperties, kPropertiesChanged,
               [this](const QDBusMessage& message) {
                 auto change = propertyChange(message);
                 auto locked = change.changed.find(QStringLiteral("LockedHint"));
                 if (locked != change.changed.end()) {
                   deliver(locked->toBool() ? SystemEvent::screenLocked : SystemEvent::screenUnlocked);
                 }
                 auto active = change.changed.find(QStringLiteral("Active"));
                 if (active != change.changed.end() && active->toBool())
                   deliver(SystemEvent::sessionDidBecomeActive);
               });
}

bool LinuxSystemEvents::attachLogindManager() {
  auto bus = buses_.system();
  if (!bus || !DBusCall::hasOwner(*bus, Logind::kService)) return false;
  return relay(bus, Logind::kService, Logind::kManagerPath, Logind::kManager,
               QStringLiteral("PrepareForSleep"), [this](const QDBusMessage& message) {
                 const auto arguments = message.arguments();
                 // false: the machine has just woken up.
                 if (!arguments.isEmpty() && !arguments.first().toBool()) deliver(SystemEvent::didWake);
               });
}

bool LinuxSystemEvents::attachScreenSaver() {
  auto bus = buses_.session();
  if (!bus || !DBusCall::hasOwner(*bus, kScreenSaver)) return false;
  return relay(bus, kScreenSaver, QStringLiteral("/org/freedesktop/ScreenSaver"), kScreenSaver,
               QStringLiteral("ActiveChanged"), [this](const QDBusMessage& message) {
                 const auto arguments = message.arguments();
                 if (arguments.isEmpty()) return;
                 bool active = arguments.first().toBool();
                 deliver(active ? SystemEvent::screenLocked : SystemEvent::screenUnlocked);
                 // The screen saver going away is the screens coming back.
                 if (!active) deliver(SystemEvent::screensDidWake);
               });
}
