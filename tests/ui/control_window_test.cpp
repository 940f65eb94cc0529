#include "ui/control_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QTest>

#include "ui/green_switch.h"
#include "ui/widget_lookup.h"
#include "unit/menubar/menubar_fixture.h"

namespace {

class ControlWindowTest : public MenuBarTest {
 protected:
  ControlWindowTest() { launch(); }
  MenuActions actions{*delegate, fake.platform};
  ControlWindow window{actions};
};

TEST_F(ControlWindowTest, ShowsTheStatusLineAndForwardsTheSwitch) {
  window.render(state());
  window.show();
  EXPECT_NE(WidgetLookup::one<QLabel>(&window, QString::fromStdString(state().statusLine)), nullptr);
  auto* powerSwitch = window.findChild<GreenSwitch*>();
  ASSERT_NE(powerSwitch, nullptr);
  EXPECT_TRUE(powerSwitch->isOn());
  powerSwitch->flip();
  EXPECT_EQ(stored("setting"), "off");
  window.render(state());
  EXPECT_FALSE(powerSwitch->isOn());
  EXPECT_NE(WidgetLookup::one<QLabel>(&window, QStringLiteral("Off")), nullptr) << state().statusLine;
}

TEST_F(ControlWindowTest, IsAWindowToAssistiveTechnologyAndEscapeClosesIt) {
  window.show();
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&window);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::Window);
  EXPECT_EQ(accessible->text(QAccessible::Name), "Halomark");

  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
