// The screen lock state from systemd-logind's LockedHint and, where the desktop offers it, the
// session bus's screen saver.
#pragma once

#include <QString>

#include "platform/linux/dbus_buses.h"
#include "platform/session.h"

class LinuxSession : public Session {
 public:
  explicit LinuxSession(DBusBuses buses = {});

  // {"CGSSessionScreenIsLocked": locked by either source}; none when neither answers.
  std::optional<PlistValue> sessionDictionary() override;

 private:
  std::optional<bool> logindLocked();
  std::optional<bool> screenSaverActive();

  DBusBuses buses_;
  std::optional<QString> sessionPath_;
};
