#include "platform/linux_services/application_state_linux.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariantMap>
#include <cmath>

#include "platform/linux_utilities/application_bus_path.h"
#include "platform/linux_utilities/dbus_signal_relay.h"

namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
// The application publishes a handful of short values; more comes from no application.
constexpr qsizetype kMaxProperties = 64;
constexpr qsizetype kMaxText = 4096;

// The property values the application publishes: text, truth values and numbers. Anything else
// reads as null.
PlistValue plistFrom(const QVariant& value) {
  switch (value.metaType().id()) {
    case QMetaType::QString: return value.toString().left(kMaxText).toStdString();
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Double: {
      double number = value.toDouble();
      return std::isfinite(number) ? PlistValue(number) : PlistValue(nullptr);
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return value.toLongLong();
    default: break;
  }
  if (value.canConvert<QDBusVariant>()) return plistFrom(value.value<QDBusVariant>().variant());
  return nullptr;
}

PlistDictionary dictionaryFrom(const QVariant& argument) {
  PlistDictionary result;
  const QVariantMap map = qdbus_cast<QVariantMap>(argument);
  for (auto it = map.begin(); it != map.end() && static_cast<qsizetype>(result.size()) < kMaxProperties; ++it)
    result[it.key().toStdString()] = plistFrom(it.value());
  return result;
}

}  // namespace

LinuxApplicationState::LinuxApplicationState(DBusBuses buses) : buses_(std::move(buses)) {}
LinuxApplicationState::~LinuxApplicationState() = default;

QString LinuxApplicationState::interfaceOf(const std::string& identifier) {
  return QString::fromStdString(identifier) + QStringLiteral(".LogoLight");
}

std::optional<PlistDictionary> LinuxApplicationState::askAll(const std::string& identifier) {
  auto bus = buses_.session();
  if (!bus) return std::nullopt;
  const QString service = QString::fromStdString(identifier);
  auto reply = DBusCall::call(*bus, DBusCall::method(service, applicationBusPath(service), kProperties,
                                                     QStringLiteral("GetAll"), {interfaceOf(identifier)}));
  if (!reply || reply->isEmpty()) return std::nullopt;
  return dictionaryFrom(reply->first());
}

std::optional<PlistDictionary> LinuxApplicationState::published(const std::string& identifier) {
  if (!followed_.empty() && identifier == followed_) return kept_;
  return askAll(identifier);
}

bool LinuxApplicationState::follow(const std::string& identifier, std::function<void()> onChange) {
  auto bus = buses_.session();
  if (!bus || !followed_.empty()) return false;
  const QString service = QString::fromStdString(identifier);
  auto owners =
      std::make_unique<DBusSignalRelay>([this](const QDBusMessage& message) { ownerChanged(message); });
  auto properties =
      std::make_unique<DBusSignalRelay>([this](const QDBusMessage& message) { propertiesChanged(message); });
  if (!owners->connectTo(*bus, kBusService, kBusPath, kBusService, QStringLiteral("NameOwnerChanged"),
                         {service}) ||
      !properties->connectTo(*bus, QString(), applicationBusPath(service), kProperties,
                             QStringLiteral("PropertiesChanged"), {interfaceOf(identifier)}))
    return false;
  relays_.push_back(std::move(owners));
  relays_.push_back(std::move(properties));
  followed_ = identifier;
  onChange_ = std::move(onChange);
  // Subscribed first, then asked: a change in between arrives as a signal after the answer.
  auto owner = DBusCall::call(
      *bus, DBusCall::method(kBusService, kBusPath, kBusService, QStringLiteral("GetNameOwner"), {service}));
  owner_ = owner && !owner->isEmpty() ? owner->first().toString() : QString();
  if (!owner_.isEmpty()) kept_ = askAll(identifier);
  return true;
}

void LinuxApplicationState::ownerChanged(const QDBusMessage& message) {
  const auto arguments = message.arguments();
  if (arguments.size() < 3) return;
  owner_ = arguments.at(2).toString();
  kept_ = owner_.isEmpty() ? std::nullopt : askAll(followed_);
  onChange_();
}

void LinuxApplicationState::propertiesChanged(const QDBusMessage& message) {
  const auto arguments = message.arguments();
  if (owner_.isEmpty() || message.service() != owner_ || arguments.size() < 3) return;
  if (!kept_) kept_ = PlistDictionary{};
  for (auto& [name, value] : dictionaryFrom(arguments.at(1))) (*kept_)[name] = std::move(value);
  // A property announced as changed without its value is asked for again.
  if (!qdbus_cast<QStringList>(arguments.at(2)).isEmpty()) {
    if (auto all = askAll(followed_)) kept_ = std::move(all);
  }
  onChange_();
}
