#include "platform/linux_utilities/dbus_signal_relay.h"

DBusSignalRelay::DBusSignalRelay(std::function<void(const QDBusMessage&)> onSignal)
    : onSignal_(std::move(onSignal)) {}

bool DBusSignalRelay::connectTo(QDBusConnection& bus, const QString& service, const QString& path,
                                const QString& interface, const QString& name, const QStringList& arguments) {
  if (arguments.isEmpty())
    return bus.connect(service, path, interface, name, this, SLOT(relay(QDBusMessage)));
  return bus.connect(service, path, interface, name, arguments, QString(), this, SLOT(relay(QDBusMessage)));
}

void DBusSignalRelay::relay(const QDBusMessage& message) { onSignal_(message); }
