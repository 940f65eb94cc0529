// Notices that the session the application runs in has ended under it, so that it quits instead
// of living on unseen: the session bus went away (its daemon ended: `dbus-run-session` returned,
// a logout left processes behind), or systemd-logind removed the login session this process
// belongs to. A session that only becomes inactive (another user switched in) goes on.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/linux_utilities/dbus_buses.h"

class DBusSignalRelay;

class SessionEndWatch {
 public:
  // `onEnd` runs on the main thread, at most once.
  SessionEndWatch(DBusBuses buses, std::function<void()> onEnd);
  ~SessionEndWatch();
  SessionEndWatch(const SessionEndWatch&) = delete;
  SessionEndWatch& operator=(const SessionEndWatch&) = delete;

  struct Watching {
    bool sessionBus = false;
    bool loginSession = false;
  };
  // Starts watching whatever of the two this process has.
  Watching start();

 private:
  void ended();

  DBusBuses buses_;
  std::function<void()> onEnd_;
  bool ended_ = false;
  std::vector<std::unique_ptr<DBusSignalRelay>> relays_;
};
