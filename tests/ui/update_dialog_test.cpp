#include "ui/update_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "fakes/fake_updates.h"

namespace {

class UpdateDialogTest : public ::testing::Test {
 protected:
  std::vector<QString> visibleTexts() {
    std::vector<QString> texts;
    for (auto* label : dialog.findChildren<QLabel*>())
      if (label->isVisible()) texts.push_back(label->text());
    return texts;
  }
  QPushButton* download() {
    for (auto* button : dialog.findChildren<QPushButton*>())
      if (button->text() == "Download") return button;
    return nullptr;
  }
  bool busy() { return dialog.findChild<QProgressBar*>()->isVisible(); }

  FakeUpdateUserDriver reminders;
  UpdateDialog dialog{reminders, "1.4"};
};

TEST_F(UpdateDialogTest, RendersEachStateOfACheck) {
  dialog.showCheck({});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(busy());
  EXPECT_EQ(visibleTexts(), std::vector<QString>{"Checking for updates\u2026"});
  ASSERT_NE(download(), nullptr);
  EXPECT_FALSE(download()->isVisible());

  AppcastItem item{"", "31", "1.5", "https://example.org/notes", "https://example.org/get"};
  dialog.showCheck({UpdateCheckState::Kind::updateAvailable, item, ""});
  EXPECT_FALSE(busy());
  EXPECT_EQ(visibleTexts(),
            (std::vector<QString>{"A new version of Halomark is available",
                                  "Halomark 1.5 is available \u2014 you have 1.4.",
                                  "<a href=\"https://example.org/notes\">Release Notes</a>"}));
  EXPECT_TRUE(download()->isVisible());

  dialog.showCheck({UpdateCheckState::Kind::upToDate, std::nullopt, ""});
  EXPECT_EQ(visibleTexts(),
            (std::vector<QString>{"You're up to date", "Halomark 1.4 is the newest version available."}));
  EXPECT_FALSE(download()->isVisible());
  dialog.showCheck({UpdateCheckState::Kind::failed, std::nullopt, "The update feed is too large."});
  EXPECT_EQ(visibleTexts(),
            (std::vector<QString>{"Couldn't check for updates", "The update feed is too large."}));
}

TEST_F(UpdateDialogTest, RemindersStayNotificationsAndNeverOpenTheWindow) {
  dialog.remindGently({"", "31", "1.5", "", "https://example.org/get"});
  EXPECT_FALSE(dialog.isVisible());
  ASSERT_EQ(reminders.reminders.size(), 1u);
  EXPECT_EQ(reminders.reminders[0].displayVersion, "1.5");
}

}  // namespace
