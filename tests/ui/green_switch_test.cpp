#include "ui/green_switch.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPalette>

namespace {

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
  EXPECT_EQ(off.pixelColor(9, 9), QColor(Qt::white)) << "knob on the left";
  EXPECT_EQ(off.pixelColor(24, 9).rgb(), control.offColor().rgb()) << "grey track";
  // The knob spans 13 points: white just inside both of its edges, track just outside.
  EXPECT_EQ(off.pixelColor(3, 9), QColor(Qt::white));
  EXPECT_EQ(off.pixelColor(15, 9), QColor(Qt::white));
  EXPECT_NE(off.pixelColor(17, 9), QColor(Qt::white));

  control.setOn(true);
  QImage on = picture();
  EXPECT_EQ(on.pixelColor(23, 9), QColor(Qt::white)) << "knob on the right";
  EXPECT_EQ(on.pixelColor(7, 9).rgb(), GreenSwitch::onColor().rgb()) << "green track";
  EXPECT_TRUE(changes.empty()) << "setting it from code never reports a change";
}

TEST_F(GreenSwitchTest, OffTrackFollowsLightAndDarkPalettes) {
  QPalette light;
  light.setColor(QPalette::Window, QColor(240, 240, 240));
  control.setPalette(light);
  EXPECT_EQ(control.offColor().red(), 199);
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(30, 30, 30));
  control.setPalette(dark);
  EXPECT_EQ(control.offColor().red(), 92);
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
