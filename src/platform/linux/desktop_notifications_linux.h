// Desktop notifications through org.freedesktop.Notifications on the session bus, each one
// replacing the one this object showed before.
#pragma once

#include <QDBusConnection>
#include <memory>
#include <optional>

#include "platform/desktop_notifications.h"

class LinuxDesktopNotifications : public DesktopNotifications {
 public:
  // `bus` is none without a session bus; nothing is shown then.
  explicit LinuxDesktopNotifications(std::optional<QDBusConnection> bus);
  void show(const std::string& summary, const std::string& body) override;

 private:
  std::optional<QDBusConnection> bus_;
  // The id of the shown notification; shared with replies still in flight.
  std::shared_ptr<unsigned> shownId_ = std::make_shared<unsigned>(0);
};
