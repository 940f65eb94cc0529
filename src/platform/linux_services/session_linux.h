// The screen lock state from systemd-logind's LockedHint and, where the desktop offers it, the
// session bus's screen saver. In the application both are kept between their change signals.
#pragma once

#include <QString>
#include <memory>

#include "platform/interfaces/session.h"
#include "platform/linux_utilities/dbus_buses.h"
#include "platform/linux_utilities/followed_bus_value.h"

class LinuxSession : public Session {
 public:
  explicit LinuxSession(DBusBuses buses = {});
  ~LinuxSession() override;

  // {"CGSSessionScreenIsLocked": locked by either source}; none when neither answers.
  std::optional<PlistValue> sessionDictionary() override;

 private:
  std::optional<bool> logindLocked();
  std::optional<bool> screenSaverActive();
  std::optional<QVariant> askLogind(QDBusConnection& bus);
  std::optional<QVariant> askScreenSaver(QDBusConnection& bus);

  DBusBuses buses_;
  std::optional<QString> sessionPath_;
  std::unique_ptr<FollowedBusValue> logind_;
  std::unique_ptr<FollowedBusValue> screenSaver_;
};
