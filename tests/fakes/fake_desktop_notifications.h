// Desktop notifications recorded in the order they were shown; the desktop shows only the latest,
// which replaced the ones before it.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop_notifications.h"

class FakeDesktopNotifications : public DesktopNotifications {
 public:
  using Message = std::pair<std::string, std::string>;  // summary, body

  void show(const std::string& summary, const std::string& body) override {
    shown.push_back({summary, body});
  }

  // What the desktop shows of this object's messages now.
  std::optional<Message> onScreen() const {
    if (shown.empty()) return std::nullopt;
    return shown.back();
  }

  std::vector<Message> shown;
};
