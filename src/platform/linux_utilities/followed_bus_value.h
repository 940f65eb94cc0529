// A value read from a bus service and kept until the service says it may have changed: one of the
// signals it was told to follow arrives, or the service's name changes hands. A snapshot of the
// machine then costs no round trip while nothing changes. Signals reach only a process that runs an
// event loop, so without one (the tool) every read asks.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/linux_utilities/dbus_signal_relay.h"

class FollowedBusValue {
 public:
  // `read` asks the service; none stands for "no answer" and is kept as well.
  explicit FollowedBusValue(std::function<std::optional<QVariant>()> read);
  ~FollowedBusValue();

  // Follows `name` of `interface` at `path` (empty: any object) as a reason to ask again.
  void follow(QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
              const QString& name);
  // Follows the service's name changing owner (started, restarted, gone).
  void followOwner(QDBusConnection& bus, const QString& service);

  std::optional<QVariant> value();

 private:
  bool canFollow() const;

  std::function<std::optional<QVariant>()> read_;
  std::vector<std::unique_ptr<DBusSignalRelay>> relays_;
  bool followed_ = true;
  std::optional<std::optional<QVariant>> kept_;
};
