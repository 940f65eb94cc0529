#include "ui/status_menu.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QSlider>
#include <QWidgetAction>

#include "ui/control_rows.h"
#include "ui/green_switch.h"
#include "unit/menubar/menubar_fixture.h"

namespace {

QStringList titles(QMenu* menu) {
  QStringList result;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) {
      result << "-";
    } else if (qobject_cast<QWidgetAction*>(action)) {
      result << "[row]";
    } else {
      result << action->text();
    }
  }
  return result;
}

QAction* item(QMenu* menu, const QString& title) {
  for (QAction* action : menu->actions())
    if (action->text().trimmed() == title) return action;
  return nullptr;
}

class StatusMenuTest : public MenuBarTest {
 protected:
  StatusMenuTest() { launch(); }
  MenuActions actions{*delegate, fake.platform};
};

TEST_F(StatusMenuTest, PopupHasTheControlRowsAndTheLowerHalfInOrder) {
  StatusMenu popup(StatusMenu::Presentation::popup, actions, MenuCommands{});
  popup.render(state());
  EXPECT_EQ(titles(popup.menu()),
            (QStringList{"[row]", "On \u00b7 following display \u00b7 87 nits", "-", "[row]", "[row]",
                         "[row]", "-", "Turn Off Automatically", "-", "Stop Attention Signal",
                         "Check for Updates\u2026", "Settings\u2026", "About", "Quit Halomark"}));
  EXPECT_FALSE(item(popup.menu(), "Stop Attention Signal")->isVisible());
  EXPECT_FALSE(item(popup.menu(), "Check for Updates\u2026")->isEnabled()) << "no updater yet";
  EXPECT_FALSE(item(popup.menu(), "Settings\u2026")->isEnabled()) << "no settings window yet";
  EXPECT_EQ(item(popup.menu(), "Settings\u2026")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
  EXPECT_EQ(item(popup.menu(), "Quit Halomark")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* rules = item(popup.menu(), "Turn Off Automatically")->menu();
  EXPECT_EQ(titles(rules),
            (QStringList{"When Mac Is Locked", "In Low Power Mode", "On Battery Power",
                         "With External Display", "Quiet Hours (10 PM\u20137 AM)", "-", "When Battery Is Low",
                         "    Never", "    At 10% or Below", "    At 20% or Below", "    At 30% or Below",
                         "    At 50% or Below", "-", "Apps & Schedule\u2026"}));
  EXPECT_TRUE(item(rules, "When Mac Is Locked")->isChecked());
  EXPECT_FALSE(item(rules, "On Battery Power")->isChecked());
  EXPECT_TRUE(item(rules, "Never")->isChecked());
  EXPECT_FALSE(item(rules, "When Battery Is Low")->isEnabled());
}

TEST_F(StatusMenuTest, PopupControlsRenderAndForward) {
  StatusMenu popup(StatusMenu::Presentation::popup, actions, MenuCommands{});
  ControlRows* rows = popup.controlRows();
  popup.render(state());
  EXPECT_TRUE(rows->powerSwitch()->isOn());
  EXPECT_EQ(rows->modeGroup()->checkedId(), 0);
  EXPECT_EQ(rows->slider()->value(), 567);
  EXPECT_EQ(rows->slider()->toolTip(), "150 nits");

  rows->slider()->setValue(1000);
  EXPECT_EQ(stored("fixedNits"), 1000);
  EXPECT_EQ(rows->modeGroup()->checkedId(), 1);
  EXPECT_EQ(rows->slider()->toolTip(), "1,000 nits");
  rows->presetGroup()->button(0)->click();
  EXPECT_EQ(stored("fixedNits"), 25);
  rows->powerSwitch()->flip();
  EXPECT_EQ(stored("setting"), "off");
  popup.render(state());
  EXPECT_FALSE(rows->powerSwitch()->isOn());
}

TEST_F(StatusMenuTest, TheChosenModeStandsOutInLightAndDarkPalettes) {
  StatusMenu popup(StatusMenu::Presentation::popup, actions, MenuCommands{});
  ControlRows* rows = popup.controlRows();
  popup.render(state());
  QAbstractButton* chosen = rows->modeGroup()->button(0);
  QAbstractButton* other = rows->modeGroup()->button(1);
  ASSERT_TRUE(chosen->isChecked());
  for (QColor window : {QColor(240, 240, 240), QColor(36, 36, 36)}) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::Highlight, QColor(53, 132, 228));
    rows->rows()[1]->setPalette(palette);
    // Sampled beside the label, inside the segment.
    QPoint beside(6, chosen->height() / 2);
    EXPECT_EQ(chosen->grab().toImage().pixelColor(beside), QColor(53, 132, 228))
        << window.name().toStdString();
    EXPECT_NE(other->grab().toImage().pixelColor(beside), QColor(53, 132, 228))
        << window.name().toStdString();
  }
}

TEST_F(StatusMenuTest, CtrlQInTheOpenPopupAsksToQuit) {
  StatusMenu popup(StatusMenu::Presentation::popup, actions, MenuCommands{});
  int quits = 0;
  QObject::connect(&popup, &StatusMenu::quitRequested, [&] { ++quits; });
  QKeyEvent plainQ(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier);
  QApplication::sendEvent(popup.menu(), &plainQ);
  EXPECT_EQ(quits, 0);
  QKeyEvent controlQ(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier);
  QApplication::sendEvent(popup.menu(), &controlQ);
  EXPECT_EQ(quits, 1);
}

TEST_F(StatusMenuTest, NativeMenuCarriesThePlainRows) {
  bool updatesAsked = false;
  MenuCommands commands{[&] { updatesAsked = true; }, {}, {}};
  StatusMenu native(StatusMenu::Presentation::native, actions, commands);
  store("setting", "fixed");
  store("fixedNits", 600);
  native.render(state());
  QStringList top = titles(native.menu());
  EXPECT_EQ(top.mid(0, 9), (QStringList{"Logo light", "On \u00b7 fixed \u00b7 87 nits", "-", "Automatic",
                                        "Fixed", "Brightness", "Low", "Medium", "High"}));
  EXPECT_TRUE(item(native.menu(), "Logo light")->isChecked());
  EXPECT_TRUE(item(native.menu(), "Fixed")->isChecked());
  QMenu* levels = item(native.menu(), "Brightness")->menu();
  EXPECT_TRUE(item(levels, "600 nits")->isChecked());
  item(levels, "100 nits")->trigger();
  EXPECT_EQ(stored("fixedNits"), 100);
  item(native.menu(), "Logo light")->trigger();
  EXPECT_EQ(stored("setting"), "off");
  QAction* updates = item(native.menu(), "Check for Updates\u2026");
  ASSERT_TRUE(updates->isEnabled());
  updates->trigger();
  EXPECT_TRUE(updatesAsked);
}

TEST(StatusMenuUnavailable, ControlsAreDisabledAndTheReasonShows) {
  FakePlatform machine;
  machine.logoHardware.present = false;
  auto delegate = std::make_shared<AppDelegate>(machine.platform);
  delegate->applicationDidFinishLaunching();
  MenuActions actions(*delegate, machine.platform);
  StatusMenu popup(StatusMenu::Presentation::popup, actions, MenuCommands{});
  popup.render(MenuState::derive(*delegate, machine.platform));
  EXPECT_EQ(popup.menu()->actions()[1]->text(), "This Mac doesn't have an illuminated logo");
  EXPECT_FALSE(popup.controlRows()->powerSwitch()->isEnabled());
  EXPECT_FALSE(popup.controlRows()->slider()->isEnabled());
  EXPECT_EQ(popup.controlRows()->modeGroup()->checkedId(), -1);
  EXPECT_FALSE(item(popup.menu(), "Turn Off Automatically")->isEnabled());
  EXPECT_TRUE(item(popup.menu(), "About")->isEnabled());
  EXPECT_TRUE(item(popup.menu(), "Quit Halomark")->isEnabled());
}

}  // namespace
