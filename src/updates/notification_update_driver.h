// The updater's face where there is no window to show: outcomes and reminders as desktop
// notifications (a headless application, and the gentle reminders of scheduled checks).
#pragma once

#include "platform/interfaces/desktop_notifications.h"
#include "updates/updates.h"

class NotificationUpdateDriver : public UpdateUserDriver {
 public:
  NotificationUpdateDriver(DesktopNotifications& notifications, std::string currentDisplayVersion)
      : notifications_(notifications), currentDisplayVersion_(std::move(currentDisplayVersion)) {}

  void bringToFront() override {}
  // Only outcomes: a "checking" bubble would be replaced at once.
  void showCheck(const UpdateCheckState& state) override;
  void remindGently(const AppcastItem& update) override;

 private:
  DesktopNotifications& notifications_;
  std::string currentDisplayVersion_;
};
