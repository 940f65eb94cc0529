// System-wide notifications as session-bus broadcast signals: a notification named
// "<interface>.<member>" is the signal <member> of <interface>, with no arguments or one a{ss}.
#pragma once

#include <memory>
#include <vector>

#include "platform/interfaces/notification_center.h"
#include "platform/linux_utilities/dbus_buses.h"

class DBusSignalRelay;

class LinuxNotificationCenter : public NotificationCenter {
 public:
  // Without a session bus, posting does nothing and observing fails.
  explicit LinuxNotificationCenter(DBusBuses buses = {});
  ~LinuxNotificationCenter() override;

  void post(const std::string& name,
            const std::optional<std::map<std::string, std::string>>& userInfo) override;
  // False without a session bus.
  bool canDeliver() override;
  bool observe(const std::string& name, Handler handler) override;

 private:
  DBusBuses buses_;
  std::vector<std::unique_ptr<DBusSignalRelay>> relays_;
};
