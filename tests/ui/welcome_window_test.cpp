#include "ui/welcome_window.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "ui/application_icon.h"
#include "ui/emblem_icon.h"
#include "ui/widget_lookup.h"
#include "unit/windows/settings_fixture.h"

namespace {

using namespace WidgetLookup;
using Compatibility = LogoController::Compatibility;

class WelcomeWindowTest : public ::testing::Test, protected LaunchedApplication {
 protected:
  void open(Compatibility compatibility, const QIcon& appIcon = QIcon(), const QIcon& menuBarIcon = QIcon()) {
    model = std::make_unique<WelcomeModel>(fake.platform, window.services, compatibility);
    welcome = std::make_unique<WelcomeWindow>(
        *model, fake.clock, WelcomeWindow::Actions{[this] { ++menus; }, [this] { ++quits; }}, appIcon,
        menuBarIcon);
    welcome->present();
    settle();
  }

  std::unique_ptr<WelcomeModel> model;
  std::unique_ptr<WelcomeWindow> welcome;
  int menus = 0;
  int quits = 0;
};

TEST_F(WelcomeWindowTest, ReturnOpensTheMenuAMomentAfterTheWindowCloses) {
  open(Compatibility::ok);
  EXPECT_EQ(welcome->windowTitle(), "Welcome to Halomark");
  EXPECT_TRUE(one<QLabel>(welcome.get(), "Your Mac's logo is supported."));
  EXPECT_TRUE(one<QLabel>(welcome.get(),
                          "Look for the crescent near the top right of your screen. Click it for the logo "
                          "controls, or Alt-click it to switch the logo on or off."));
  EXPECT_TRUE(one<QPushButton>(welcome.get(), "Done"));
  EXPECT_FALSE(one<QPushButton>(welcome.get(), "Quit Halomark"));
  QTest::keyClick(welcome.get(), Qt::Key_Return);
  EXPECT_FALSE(welcome->isVisible());
  fake.clock.advance(0.29);
  EXPECT_EQ(menus, 0);
  fake.clock.advance(0.02);
  EXPECT_EQ(menus, 1);
}

TEST_F(WelcomeWindowTest, EscapeClosesWithoutOpeningTheMenu) {
  open(Compatibility::ok);
  QTest::keyClick(welcome.get(), Qt::Key_Escape);
  EXPECT_FALSE(welcome->isVisible());
  fake.clock.advance(1);
  EXPECT_EQ(menus, 0);
}

TEST_F(WelcomeWindowTest, AnIncompatibleMachineGetsTheReasonQuitAndOK) {
  open(Compatibility::noLogoHardware);
  EXPECT_TRUE(one<QLabel>(
      welcome.get(), "This Mac doesn't have an illuminated logo, so Halomark has nothing to control here."));
  EXPECT_FALSE(one<QPushButton>(welcome.get(), "Show Halomark's Menu"));
  one<QPushButton>(welcome.get(), "Quit Halomark")->click();
  EXPECT_EQ(quits, 1);
  QTest::keyClick(welcome.get(), Qt::Key_Return);
  EXPECT_FALSE(welcome->isVisible());
  EXPECT_EQ(menus, 0);
}

TEST_F(WelcomeWindowTest, SwitchesWriteThroughAndARefusalSpringsBack) {
  fake.loginItems.failure = "read-only";
  open(Compatibility::ok);
  auto* login = one<QCheckBox>(welcome.get(), "Launch Halomark at login");
  auto* updates = one<QCheckBox>(welcome.get(), "Check for updates automatically");
  ASSERT_TRUE(login && updates);
  EXPECT_TRUE(updates->isChecked());
  login->click();
  EXPECT_EQ(window.alertSound.beeps, 1);
  EXPECT_FALSE(login->isChecked());
  updates->click();
  EXPECT_FALSE(window.updater.automatic);
}

TEST_F(WelcomeWindowTest, TheHintIsOneBoxWithRoomAroundItsTextAndTheButtonsHavePadding) {
  open(Compatibility::ok, ApplicationIcon::icon(), EmblemIcon::menuBarIcon(true, false));
  if (const char* folder = std::getenv("HALOMARK_SCREENSHOTS"))
    welcome->grab().save(QString::fromUtf8(folder) + "/welcome.png");
  // The card holds the picture of a menu bar (itself a box, with a box for the crescent), and no
  // other box: none around the card's own contents.
  auto boxes = welcome->findChildren<QWidget*>("tinted");
  ASSERT_EQ(boxes.size(), 3);
  QWidget* card = nullptr;
  for (auto* box : boxes)
    if (std::all_of(boxes.begin(), boxes.end(), [&](QWidget* other) { return box->isAncestorOf(other); }))
      card = box;
  ASSERT_TRUE(card);
  for (auto* widget : welcome->findChildren<QWidget*>()) EXPECT_TRUE(widget->styleSheet().isEmpty());
  QLabel* hint = nullptr;
  for (auto* label : card->findChildren<QLabel*>())
    if (label->text().startsWith("Look for the crescent")) hint = label;
  ASSERT_TRUE(hint);
  QRect text = QRect(hint->mapTo(card, QPoint(0, 0)), hint->size());
  EXPECT_GE(card->height() - text.bottom(), 10) << "the last line clear of the card's edge";
  EXPECT_GE(hint->height(), hint->heightForWidth(hint->width())) << "every line shown";
  for (const char* title : {"Done", "Show Halomark's Menu"}) {
    QPushButton* button = one<QPushButton>(welcome.get(), title);
    ASSERT_TRUE(button);
    EXPECT_GE(button->width() - button->fontMetrics().horizontalAdvance(title), 24) << title;
  }
}

}  // namespace
