// The desktop's ways to the logo-light actions and the updater. The application object's
// logo-light calls answer their callers; named actions (launchers' desktop actions, `gapplication
// action`) and the KRunner runner answer with a notification that replaces the previous one. The
// updater answers in notifications too while there is no window to show.
#pragma once

#include <QDBusConnection>
#include <memory>
#include <optional>

#include "platform/linux/desktop_notifications_linux.h"
#include "platform/linux/feed_fetcher_linux.h"
#include "shell/application_object.h"
#include "shell/runner_object.h"
#include "shortcuts/named_actions.h"
#include "updates/notification_update_driver.h"
#include "updates/updates.h"

class DesktopDoors {
 public:
  // The named action that runs the menu's "Check for Updates…".
  static constexpr const char* kCheckForUpdatesAction = "check-for-updates";

  // The actions change the logo through `commands`, the application's.
  DesktopDoors(Platform& platform, LogoCommands& commands, std::optional<QDBusConnection> bus);

  // Connects the application object's calls to the actions; exports the runner.
  void open(ApplicationObject& applicationObject);
  Updates& updates() { return *updates_; }

 private:
  ApplicationObject::Reply answerWithNotification(
      const std::variant<std::string, LogoLight::Refusal>& outcome);

  std::optional<QDBusConnection> bus_;
  LogoLight::Actions actions_;
  LinuxDesktopNotifications answers_;
  RunnerObject runner_;
  LinuxFeedFetcher fetcher_;
  LinuxDesktopNotifications updateNotes_;
  std::unique_ptr<NotificationUpdateDriver> updateDriver_;
  std::unique_ptr<Updates> updates_;
};
