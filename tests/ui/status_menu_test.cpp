#include "ui/status_menu.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>
#include <QWidgetAction>

#include "ui/control_rows.h"
#include "ui/green_switch.h"
#include "ui/nits_slider.h"
#include "ui/qt_text.h"
#include "ui/widget_lookup.h"
#include "unit/menubar/menubar_fixture.h"

namespace {

// The menu's rows as the user reads them: an item's text as drawn (no mnemonic markers), a row of
// controls as its name, the status line as its text.
QStringList titles(QMenu* menu) {
  QStringList result;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator()) {
      result << "-";
    } else if (auto* row = qobject_cast<QWidgetAction*>(action)) {
      QWidget* widget = row->defaultWidget();
      auto* label = widget->findChild<QLabel*>();
      result << "[" +
                    (widget->accessibleName().isEmpty() && label ? label->text() : widget->accessibleName()) +
                    "]";
    } else {
      result << QtText::shown(action->text());
    }
  }
  return result;
}

QAction* item(QMenu* menu, const QString& title) {
  for (QAction* action : menu->actions())
    if (QtText::shown(action->text()) == title) return action;
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
            (QStringList{"[Logo light]", "[On \u00b7 following display \u00b7 87 nits]", "-",
                         "[Logo brightness mode]", "[Fixed brightness]", "[Brightness presets]", "-",
                         "Turn Off Automatically", "-", "Stop Attention Signal", "Check for Updates\u2026",
                         "Settings\u2026", "About", "Quit Halomark"}));
  EXPECT_FALSE(item(popup.menu(), "Stop Attention Signal")->isVisible());
  EXPECT_FALSE(item(popup.menu(), "Check for Updates\u2026")->isEnabled()) << "no updater yet";
  EXPECT_FALSE(item(popup.menu(), "Settings\u2026")->isEnabled()) << "no settings window yet";
  EXPECT_EQ(item(popup.menu(), "Settings\u2026")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
  EXPECT_EQ(item(popup.menu(), "Quit Halomark")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* rules = item(popup.menu(), "Turn Off Automatically")->menu();
  // The ampersand shows as one, and the battery choices carry no spaces to be read out.
  EXPECT_EQ(titles(rules), (QStringList{"When Mac Is Locked", "In Low Power Mode", "On Battery Power",
                                        "With External Display", "Quiet Hours (10 PM\u20137 AM)", "-",
                                        "When Battery Is Low", "Never", "At 10% or Below", "At 20% or Below",
                                        "At 30% or Below", "At 50% or Below", "-", "Apps & Schedule\u2026"}));
  EXPECT_TRUE(item(rules, "When Mac Is Locked")->isChecked());
  EXPECT_FALSE(item(rules, "On Battery Power")->isChecked());
  EXPECT_TRUE(item(rules, "Never")->isChecked());
  EXPECT_FALSE(item(rules, "When Battery Is Low")->isEnabled());
  EXPECT_EQ(item(rules, "When Mac Is Locked")->actionGroup(), nullptr) << "the rules are independent";
}

TEST_F(StatusMenuTest, TheBatteryChoicesAreOneExclusiveGroupDrawnAsRadioItems) {
  StatusMenu popup(StatusMenu::Presentation::popup, actions, MenuCommands{});
  popup.render(state());
  QMenu* rules = item(popup.menu(), "Turn Off Automatically")->menu();
  QActionGroup* group = item(rules, "Never")->actionGroup();
  ASSERT_NE(group, nullptr);
  // A member of an exclusive group is drawn with a radio indicator, and exported as a radio item.
  EXPECT_TRUE(group->isExclusive());
  EXPECT_EQ(group->actions().size(), 5);
  item(rules, "At 20% or Below")->trigger();
  EXPECT_EQ(stored("offBelowPercent"), 20);
  popup.render(state());
  int checked = 0;
  for (QAction* choice : group->actions()) checked += choice->isChecked();
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(item(rules, "At 20% or Below")->isChecked());
}

TEST_F(StatusMenuTest, PopupControlsRenderAndForward) {
  StatusMenu popup(StatusMenu::Presentation::popup, actions, MenuCommands{});
  ControlRows* rows = popup.controlRows();
  popup.render(state());
  EXPECT_TRUE(rows->powerSwitch()->isOn());
  EXPECT_EQ(rows->modeGroup()->checkedId(), 0);
  EXPECT_EQ(rows->slider()->value(), 56707);
  EXPECT_EQ(rows->slider()->toolTip(), "150 nits");

  rows->slider()->setValue(NitsSlider::kSteps);
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

TEST_F(StatusMenuTest, AWheelNotchOverTheSliderMovesTheBrightness) {
  StatusMenu popup(StatusMenu::Presentation::popup, actions, MenuCommands{});
  popup.render(state());
  NitsSlider* slider = popup.controlRows()->slider();
  slider->resize(200, 20);
  QWheelEvent notch(QPointF(100, 10), QPointF(100, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(slider, &notch);
  EXPECT_GT(stored("fixedNits"), 150);
  EXPECT_LT(stored("fixedNits"), 160) << "a small step";
}

TEST_F(StatusMenuTest, TheChosenModeStandsOutInLightAndDarkPalettes) {
  StatusMenu popup(StatusMenu::Presentation::popup, actions, MenuCommands{});
  ControlRows* rows = popup.controlRows();
  popup.render(state());
  QAbstractButton* chosen = rows->modeGroup()->button(0);
  QAbstractButton* other = rows->modeGroup()->button(1);
  ASSERT_TRUE(chosen->isChecked());
  QWidget* row = rows->rows()[1];
  row->resize(300, row->height());
  row->layout()->activate();
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
  EXPECT_EQ(popup.controlRows()->statusLine()->text(), "This Mac doesn't have an illuminated logo");
  EXPECT_FALSE(popup.controlRows()->powerSwitch()->isEnabled());
  EXPECT_FALSE(popup.controlRows()->slider()->isEnabled());
  EXPECT_EQ(popup.controlRows()->modeGroup()->checkedId(), -1);
  EXPECT_FALSE(item(popup.menu(), "Turn Off Automatically")->isEnabled());
  EXPECT_TRUE(item(popup.menu(), "About")->isEnabled());
  EXPECT_TRUE(item(popup.menu(), "Quit Halomark")->isEnabled());
}

}  // namespace

namespace {

class PopupKeyboardTest : public MenuBarTest {
 protected:
  PopupKeyboardTest() {
    launch();
    popup.render(state());
    popup.menu()->popup(QPoint(10, 10));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(popup.menu()));
  }
  ~PopupKeyboardTest() override { popup.menu()->hide(); }
  // Where the keys go: the menu hands them to the focused control inside it first.
  void press(Qt::Key key) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : popup.menu();
    QTest::keyClick(target, key);
  }
  QWidget* focused() { return QApplication::focusWidget(); }

  MenuActions actions{*delegate, fake.platform};
  StatusMenu popup{StatusMenu::Presentation::popup, actions, MenuCommands{}};
  ControlRows* rows = popup.controlRows();
};

TEST_F(PopupKeyboardTest, DownAndTabStopOnEveryControlAndSkipTheStatusLine) {
  press(Qt::Key_Down);
  EXPECT_EQ(focused(), rows->powerSwitch());
  press(Qt::Key_Down);
  EXPECT_EQ(focused(), rows->modeGroup()->button(0)) << "the chosen mode";
  press(Qt::Key_Tab);
  EXPECT_EQ(focused(), rows->slider());
  press(Qt::Key_Down);
  EXPECT_EQ(focused(), rows->presetGroup()->button(0));
  press(Qt::Key_Up);
  EXPECT_EQ(focused(), rows->slider());
  // Past the rows the menu's own items take the keys again.
  press(Qt::Key_Down);
  press(Qt::Key_Down);
  EXPECT_EQ(QtText::shown(popup.menu()->activeAction()->text()), "Turn Off Automatically");
  EXPECT_EQ(focused(), popup.menu());
}

TEST_F(PopupKeyboardTest, SpaceAndArrowsOperateEachControl) {
  press(Qt::Key_Down);
  press(Qt::Key_Space);
  EXPECT_EQ(stored("setting"), "off") << "the switch";
  press(Qt::Key_Space);
  EXPECT_EQ(stored("setting"), "automatic");
  popup.render(state());

  press(Qt::Key_Down);
  press(Qt::Key_Right);
  EXPECT_EQ(stored("setting"), "fixed") << "Right chooses Fixed";
  EXPECT_TRUE(rows->modeGroup()->button(1)->isChecked());
  EXPECT_EQ(focused(), rows->modeGroup()->button(1));
  popup.render(state());

  press(Qt::Key_Down);
  press(Qt::Key_Right);
  EXPECT_EQ(stored("fixedNits"), 151) << "one whole nit";
  press(Qt::Key_Left);
  press(Qt::Key_Left);
  EXPECT_EQ(stored("fixedNits"), 149);
  press(Qt::Key_PageUp);
  EXPECT_EQ(stored("fixedNits"), 231) << "a tenth of the travel";
  press(Qt::Key_End);
  EXPECT_EQ(stored("fixedNits"), 1000);
  EXPECT_EQ(rows->slider()->value(), NitsSlider::kSteps) << "the knob follows";
  EXPECT_EQ(rows->slider()->toolTip(), "1,000 nits");

  press(Qt::Key_Down);
  press(Qt::Key_Right);
  EXPECT_EQ(focused(), rows->presetGroup()->button(1));
  press(Qt::Key_Space);
  EXPECT_EQ(stored("fixedNits"), 150) << "Medium";
}

TEST_F(PopupKeyboardTest, ReturnActsAndClosesAsAMenuItemAndEscapeJustCloses) {
  press(Qt::Key_Down);
  press(Qt::Key_Return);
  EXPECT_EQ(stored("setting"), "off");
  EXPECT_FALSE(popup.menu()->isVisible());

  popup.render(state());
  popup.menu()->popup(QPoint(10, 10));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(popup.menu()));
  press(Qt::Key_Down);
  press(Qt::Key_Down);
  press(Qt::Key_Down);
  press(Qt::Key_Escape);
  EXPECT_FALSE(popup.menu()->isVisible());
  EXPECT_EQ(stored("setting"), "off") << "nothing else changed";
}

}  // namespace
