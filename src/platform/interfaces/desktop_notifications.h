// Short messages shown by the desktop (notification bubbles), for answers that have no window.
#pragma once

#include <string>

class DesktopNotifications {
 public:
  virtual ~DesktopNotifications() = default;
  // Shows the message in place of the one this object showed before, so answers never pile up.
  // Nothing happens where the desktop has no notification service.
  virtual void show(const std::string& summary, const std::string& body) = 0;
};
