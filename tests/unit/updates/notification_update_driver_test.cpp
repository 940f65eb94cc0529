#include "updates/notification_update_driver.h"

#include <gtest/gtest.h>

#include "fakes/fake_desktop_notifications.h"

namespace {

TEST(NotificationUpdateDriverTest, ShowsOutcomesAndRemindersButNotTheWait) {
  FakeDesktopNotifications notifications;
  NotificationUpdateDriver driver(notifications, "1.4");
  driver.showCheck({});
  EXPECT_TRUE(notifications.shown.empty());
  AppcastItem item{"", "31", "1.5", "https://e.org/notes", "https://e.org/get"};
  driver.showCheck({UpdateCheckState::Kind::updateAvailable, item, ""});
  driver.showCheck({UpdateCheckState::Kind::failed, std::nullopt, "The update feed is too large."});
  driver.remindGently(item);
  ASSERT_EQ(notifications.shown.size(), 3u);
  EXPECT_EQ(notifications.shown[0].first, "A new version of Halomark is available");
  EXPECT_EQ(notifications.shown[0].second,
            "Halomark 1.5 is available \u2014 you have 1.4.\nhttps://e.org/get");
  EXPECT_EQ(notifications.shown[1], (std::pair<std::string, std::string>{"Couldn't check for updates",
                                                                         "The update feed is too large."}));
  EXPECT_EQ(notifications.shown[2].first, "Halomark 1.5 is available");
  EXPECT_EQ(notifications.shown[2].second,
            "Choose Check for Updates\u2026 in the Halomark menu to download it.");
}

}  // namespace
