#include "platform/linux_services/notification_center_linux.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>

#include "platform/linux_utilities/application_bus_path.h"
#include "platform/linux_utilities/dbus_signal_relay.h"

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

// What the application takes from a notification: the tool sends a few short values (a signal's
// message is cut to 80 graphemes anyway). Other programs can send anything; past these limits it is
// no user's doing and would only cost memory.
constexpr qsizetype kMaxEntries = 32;
constexpr qsizetype kMaxKeyLength = 256;
constexpr qsizetype kMaxTextLength = 4096;

std::string cut(const QString& text) {
  if (text.size() <= kMaxTextLength) return text.toStdString();
  // A surrogate pair stays whole.
  qsizetype length = text.at(kMaxTextLength - 1).isHighSurrogate() ? kMaxTextLength - 1 : kMaxTextLength;
  return text.left(length).toStdString();
}

PlistValue plistFromVariant(const QVariant& value) {
  switch (value.metaType().id()) {
    case QMetaType::QString: return cut(value.toString());
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
  const bool strings = signature == "a{ss}";
  if (!strings && signature != "a{sv}") return payload;
  // Entry by entry, so that an oversized value is cut as soon as it is read.
  argument.beginMap();
  for (qsizetype entries = 0; !argument.atEnd() && entries < kMaxEntries; ++entries) {
    QString key;
    PlistValue value;
    argument.beginMapEntry();
    argument >> key;
    if (strings) {
      QString text;
      argument >> text;
      value = cut(text);
    } else {
      QDBusVariant variant;
      argument >> variant;
      value = plistFromVariant(variant.variant());
    }
    argument.endMapEntry();
    if (key.size() <= kMaxKeyLength) payload[key.toStdString()] = std::move(value);
  }
  // Ends the map's reader even when entries are left unread; it is freed only here.
  argument.endMap();
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
