#include "platform/linux_utilities/dbus_buses.h"

#include <QDBusConnectionInterface>
#include <QDBusVariant>
#include <QFileInfo>

namespace {

QDBusConnection userSessionBus() {
  bool haveAddress = !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
  QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!haveAddress && (runtime.isEmpty() || !QFileInfo::exists(runtime + "/bus"))) {
    return QDBusConnection(QStringLiteral("halomark-no-session-bus"));
  }
  return QDBusConnection::sessionBus();
}

}  // namespace

DBusBuses::DBusBuses() : DBusBuses([] { return QDBusConnection::systemBus(); }, userSessionBus) {}

DBusBuses::DBusBuses(Connector system, Connector session)
    : systemConnector_(std::move(system)), sessionConnector_(std::move(session)) {}

DBusBuses DBusBuses::privateBus(const QString& address) {
  auto connect = [address] {
    return QDBusConnection::connectToBus(address, QStringLiteral("halomark-private-") + address);
  };
  return DBusBuses(connect, connect);
}

std::optional<QDBusConnection> DBusBuses::connectOnce(Connector& connector,
                                                      std::optional<QDBusConnection>& cache, bool& tried) {
  if (!tried) {
    tried = true;
    QDBusConnection bus = connector();
    if (bus.isConnected()) cache = bus;
  }
  return cache;
}

std::optional<QDBusConnection> DBusBuses::system() {
  return connectOnce(systemConnector_, system_, systemTried_);
}

std::optional<QDBusConnection> DBusBuses::session() {
  return connectOnce(sessionConnector_, session_, sessionTried_);
}

namespace DBusCall {

QDBusMessage method(const QString& service, const QString& path, const QString& interface,
                    const QString& member, const QVariantList& arguments) {
  QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, member);
  message.setArguments(arguments);
  message.setAutoStartService(false);
  return message;
}

std::optional<QVariantList> call(QDBusConnection& bus, const QDBusMessage& message) {
  QDBusMessage reply = bus.call(message, QDBus::Block, kTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage) return std::nullopt;
  return reply.arguments();
}

std::optional<QVariant> property(QDBusConnection& bus, const QString& service, const QString& path,
                                 const QString& interface, const QString& name) {
  auto reply = call(bus, method(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                QStringLiteral("Get"), {interface, name}));
  if (!reply || reply->isEmpty()) return std::nullopt;
  return reply->first().value<QDBusVariant>().variant();
}

bool hasOwner(QDBusConnection& bus, const QString& service) {
  auto reply =
      call(bus, method(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"), {service}));
  return reply && !reply->isEmpty() && reply->first().toBool();
}

}  // namespace DBusCall
