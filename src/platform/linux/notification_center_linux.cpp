#include "platform/linux/notification_center_linux.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>

#include "platform/linux/application_bus_path.h"
#include "platform/linux/dbus_signal_relay.h"

namespace {

struct SignalName {
  QString interface;
  QString member;
};

// The last dot separates the interface from the member.
std::optional<SignalName> splitName(const std::string& name) {
  auto dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return std::nullopt;
  return SignalName{QString::fromStdString(name.substr(0, dot)),
                    QString::fromStdString(name.substr(dot + 1))};
}

PlistValue plistFromVariant(const QVariant& value) {
  switch (value.metaType().id()) {
    case QMetaType::QString: return value.toString().toStdString();
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Double: return value.toDouble();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short: return value.toLongLong();
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar: return value.toULongLong();
    default: break;
  }
  if (value.canConvert<QDBusVariant>()) return plistFromVariant(value.value<QDBusVariant>().variant());
  return nullptr;
}

// The first argument as a dictionary: a{ss} from the tool, a{sv} from other senders; anything else
// is an empty payload.
PlistDictionary payloadOf(const QDBusMessage& message) {
  PlistDictionary payload;
  if (message.arguments().isEmpty()) return payload;
  const QVariant first = message.arguments().first();
  if (!first.canConvert<QDBusArgument>()) return payload;
  const auto argument = first.value<QDBusArgument>();
  const QString signature = argument.currentSignature();
  if (signature == "a{ss}") {
    for (const auto& [key, value] : qdbus_cast<QMap<QString, QString>>(argument).asKeyValueRange())
      payload[key.toStdString()] = value.toStdString();
  } else if (signature == "a{sv}") {
    for (const auto& [key, value] : qdbus_cast<QVariantMap>(argument).asKeyValueRange())
      payload[key.toStdString()] = plistFromVariant(value);
  }
  return payload;
}

}  // namespace

LinuxNotificationCenter::LinuxNotificationCenter(DBusBuses buses) : buses_(std::move(buses)) {}
LinuxNotificationCenter::~LinuxNotificationCenter() = default;

void LinuxNotificationCenter::post(const std::string& name,
                                   const std::optional<std::map<std::string, std::string>>& userInfo) {
  auto bus = buses_.session();
  auto signal = splitName(name);
  if (!bus || !signal) return;
  auto message =
      QDBusMessage::createSignal(applicationBusPath(signal->interface), signal->interface, signal->member);
  if (userInfo) {
    QMap<QString, QString> map;
    for (const auto& [key, value] : *userInfo)
      map.insert(QString::fromStdString(key), QString::fromStdString(value));
    QDBusArgument argument;
    argument << map;
    message << QVariant::fromValue(argument);
  }
  bus->send(message);
  // send() only queues; a process that exits right after would lose the signal. The bus answers
  // calls in order, so once this reply arrives the signal has reached the bus.
  DBusCall::call(*bus, DBusCall::method("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                        "org.freedesktop.DBus", "GetId"));
}

bool LinuxNotificationCenter::canDeliver() { return buses_.session().has_value(); }

bool LinuxNotificationCenter::observe(const std::string& name, Handler handler) {
  auto bus = buses_.session();
  auto signal = splitName(name);
  if (!bus || !signal) return false;
  auto relay = std::make_unique<DBusSignalRelay>(
      [handler = std::move(handler)](const QDBusMessage& message) { handler(payloadOf(message)); });
  if (!relay->connectTo(*bus, QString(), QString(), signal->interface, signal->member)) return false;
  relays_.push_back(std::move(relay));
  return true;
}
