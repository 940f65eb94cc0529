#include "platform/linux_utilities/followed_bus_value.h"

#include <QCoreApplication>

FollowedBusValue::FollowedBusValue(std::function<std::optional<QVariant>()> read) : read_(std::move(read)) {}

FollowedBusValue::~FollowedBusValue() = default;

bool FollowedBusValue::canFollow() const { return QCoreApplication::instance() != nullptr; }

void FollowedBusValue::follow(QDBusConnection& bus, const QString& service, const QString& path,
                              const QString& interface, const QString& name) {
  if (!canFollow()) {
    followed_ = false;
    return;
  }
  auto relay = std::make_unique<DBusSignalRelay>([this](const QDBusMessage&) { kept_.reset(); });
  if (!relay->connectTo(bus, service, path, interface, name)) {
    followed_ = false;
    return;
  }
  relays_.push_back(std::move(relay));
}

void FollowedBusValue::followOwner(QDBusConnection& bus, const QString& service) {
  const QString daemon = QStringLiteral("org.freedesktop.DBus");
  if (!canFollow()) {
    followed_ = false;
    return;
  }
  auto relay = std::make_unique<DBusSignalRelay>([this](const QDBusMessage&) { kept_.reset(); });
  if (!relay->connectTo(bus, daemon, QStringLiteral("/org/freedesktop/DBus"), daemon,
                        QStringLiteral("NameOwnerChanged"), {service})) {
    followed_ = false;
    return;
  }
  relays_.push_back(std::move(relay));
}

std::optional<QVariant> FollowedBusValue::value() {
  if (followed_ && kept_) return *kept_;
  auto answer = read_();
  // Kept only once every subscription stands: a change it would miss must not be answered from it.
  if (followed_ && !relays_.empty()) kept_ = answer;
  return answer;
}
