#include "ui/green_switch.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include "ui/palette_ink.h"

namespace {

bool white(const QColor& color) { return color.lightness() >= 245; }

class GreenSwitchTest : public ::testing::Test {
 protected:
  GreenSwitchTest() {
    control.setOnChange([this](bool on) { changes.push_back(on); });
  }
  QImage picture() { return control.grab().toImage().convertToFormat(QImage::Format_ARGB32); }
  void press() {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(16, 9), QPointF(16, 9), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&control, &event);
  }

  GreenSwitch control;
  std::vector<bool> changes;
};

TEST_F(GreenSwitchTest, KnobIs13AcrossAndJumpsToTheOnSideOverAGreenTrack) {
  EXPECT_EQ(control.sizeHint(), QSize(32, 18));
  control.resize(32, 18);
  QImage off = picture();
  EXPECT_TRUE(white(off.pixelColor(9, 9))) << "knob on the left";
  EXPECT_EQ(off.pixelColor(24, 9).rgb(), control.offColor().rgb()) << "grey track";
  // The knob spans 13 points (2.5 to 15.5): white just inside both of its edges, track outside.
  EXPECT_TRUE(white(off.pixelColor(3, 9)));
  EXPECT_TRUE(white(off.pixelColor(14, 9)));
  EXPECT_FALSE(white(off.pixelColor(16, 9)));
  EXPECT_FALSE(white(off.pixelColor(1, 9)));

  control.setOn(true);
  QImage on = picture();
  EXPECT_TRUE(white(on.pixelColor(23, 9))) << "knob on the right";
  EXPECT_EQ(on.pixelColor(7, 9).rgb(), control.onColor().rgb()) << "green track";
  EXPECT_TRUE(changes.empty()) << "setting it from code never reports a change";
}

TEST_F(GreenSwitchTest, BothTracksStandOutInLightAndDarkPalettes) {
  for (QColor window : {QColor(255, 255, 255), QColor(240, 240, 240), QColor(30, 30, 30)}) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, window.lightness() > 128 ? Qt::black : QColor(238, 238, 238));
    control.setPalette(palette);
    auto against = [&](QColor track) {
      return Contrast::ratio(PaletteInk::toRgb(track), PaletteInk::toRgb(window));
    };
    EXPECT_GE(against(control.offColor()), Contrast::kShape) << window.name().toStdString();
    EXPECT_GE(against(control.onColor()), Contrast::kShape) << window.name().toStdString();
    EXPECT_GT(control.onColor().green(), control.onColor().red()) << "green";
  }
}

TEST_F(GreenSwitchTest, SpaceFlipsAndReturnFlipsThenLeavesTheKeyToTheMenu) {
  QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
  QApplication::sendEvent(&control, &space);
  EXPECT_TRUE(space.isAccepted());
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&control, &enter);
  EXPECT_FALSE(enter.isAccepted()) << "the menu closes as after choosing an item";
  EXPECT_EQ(changes, (std::vector<bool>{true, false}));
  EXPECT_EQ(control.focusPolicy(), Qt::StrongFocus);
}

TEST_F(GreenSwitchTest, PressFlipsAndReportsButNotWhileDisabled) {
  press();
  EXPECT_TRUE(control.isOn());
  EXPECT_EQ(changes, std::vector<bool>{true});
  control.setEnabled(false);
  press();
  EXPECT_FALSE(control.flip());
  EXPECT_TRUE(control.isOn());
  EXPECT_EQ(changes.size(), 1u);
}

TEST_F(GreenSwitchTest, AssistiveTechnologySeesACheckableSwitchWithAPressAction) {
  control.setAccessibleName(QStringLiteral("Logo light"));
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&control);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::CheckBox);
  EXPECT_EQ(accessible->text(QAccessible::Name), "Logo light");
  EXPECT_TRUE(accessible->state().checkable);
  EXPECT_FALSE(accessible->state().checked);
  QAccessibleActionInterface* actions = accessible->actionInterface();
  ASSERT_NE(actions, nullptr);
  ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(control.isOn());
  EXPECT_TRUE(accessible->state().checked);
  EXPECT_EQ(changes, std::vector<bool>{true});
}

}  // namespace
