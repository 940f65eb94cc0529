// Desktop notifications through org.freedesktop.Notifications on the session bus, each one
// replacing the one this object showed before.
#pragma once

#include <QDBusConnection>
#include <memory>
#include <optional>
#include <string>

#include "platform/desktop_notifications.h"

class LinuxDesktopNotifications : public DesktopNotifications {
 public:
  // `bus` is none without a session bus; nothing is shown then.
  explicit LinuxDesktopNotifications(std::optional<QDBusConnection> bus);
  void show(const std::string& summary, const std::string& body) override;

 private:
  struct Message {
    std::string summary;
    std::string body;
  };
  // Shared with the reply in flight, which outlives this object when it is destroyed first.
  struct State {
    std::optional<QDBusConnection> bus;
    unsigned shownId = 0;  // the server's id of the shown notification; 0 before the first
    bool awaitingId = false;
    // Shown while the server had not yet given the previous message's id: sent once it has, so it
    // replaces that message instead of standing beside it. Only the latest waits.
    std::optional<Message> waiting;
  };
  static void send(const std::shared_ptr<State>& state, const Message& message);

  std::shared_ptr<State> state_ = std::make_shared<State>();
};
