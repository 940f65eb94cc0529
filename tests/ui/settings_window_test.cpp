#include "ui/settings_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "ui/widget_lookup.h"
#include "unit/windows/settings_fixture.h"

namespace {

using namespace WidgetLookup;

class SettingsWindowTest : public ::testing::Test, protected LaunchedApplication {
 protected:
  void open(std::optional<SettingsTab> tab = std::nullopt) {
    settings.reset();
    model = std::make_unique<SettingsModel>(*delegate, fake.platform, window.services, links);
    SettingsWindow::Actions actions{[this](QWidget*) { return nextChoice; },
                                    [this](QWidget*) { ++uninstalls; }};
    settings = std::make_unique<SettingsWindow>(*model, actions);
    settings->present(tab);
    settle();
  }

  Maintenance::CommandLinkLocations links{tree.path("usr/local/bin/halomark"), {}};
  std::unique_ptr<SettingsModel> model;
  std::unique_ptr<SettingsWindow> settings;
  std::vector<std::string> nextChoice;
  int uninstalls = 0;
};

TEST_F(SettingsWindowTest, TabsSwitchTitleAndHeightWithTheTopEdgeStill) {
  open();
  EXPECT_EQ(settings->windowTitle(), "General");
  EXPECT_GE(settings->width(), SettingsWindow::kMinimumContentWidth);
  int top = settings->y();
  int generalHeight = settings->height();
  ASSERT_TRUE(one<QLabel>(settings.get(), "Launch at login"));

  QTest::keyClick(settings.get(), Qt::Key_3, Qt::ControlModifier);
  settle();
  EXPECT_EQ(settings->windowTitle(), "Signals");
  EXPECT_TRUE(settings->findChild<QToolButton*>("halomark.settings.signals")->isChecked());
  EXPECT_FALSE(one<QLabel>(settings.get(), "Launch at login"));
  EXPECT_TRUE(one<QLabel>(settings.get(), "Try the signal"));

  settings->findChild<QToolButton*>("halomark.settings.automation")->click();
  settle();
  EXPECT_EQ(settings->windowTitle(), "Automation");
  EXPECT_EQ(model->selectedTab(), SettingsTab::automation);
  int closedQuietHours = settings->height();
  EXPECT_NE(closedQuietHours, generalHeight);
  toggleNamed(settings.get(), "Enable Quiet Hours")->click();
  settle();
  EXPECT_EQ(stored("quietHoursEnabled"), true);
  EXPECT_TRUE(one<QLabel>(settings.get(), "Schedule"));
  EXPECT_GT(settings->height(), closedQuietHours);
  EXPECT_EQ(settings->y(), top);
}

TEST_F(SettingsWindowTest, TheHotKeyRowNamesTheKeysAsAPcKeyboardLabelsThem) {
  open();
  EXPECT_TRUE(one<QLabel>(settings.get(), "Toggle logo with Ctrl+Alt+Super+L"));
  EXPECT_TRUE(one<QLabel>(settings.get(), "Alt-click the menu bar icon to toggle anytime."));
}

TEST_F(SettingsWindowTest, OpeningAppsAndScheduleSwitchesAnOpenWindowToAutomation) {
  open();
  settings->present(SettingsTab::automation);
  settle();
  EXPECT_EQ(settings->windowTitle(), "Automation");
  // Without a tab an open window keeps the one it shows.
  settings->present();
  settle();
  EXPECT_EQ(settings->windowTitle(), "Automation");
}

TEST_F(SettingsWindowTest, TheFirstAppReplacesTheSingleRowWithTheList) {
  fake.workspace.installed["org.gnome.Calculator"] = "/usr/share/applications/org.gnome.Calculator.desktop";
  fake.workspace.displayNames["/usr/share/applications/org.gnome.Calculator.desktop"] = "Calculator";
  open(SettingsTab::automation);
  ASSERT_TRUE(one<QLabel>(settings.get(), "Turn off for chosen apps"));
  EXPECT_FALSE(pickerWith(settings.get(), "App is frontmost"));
  int top = settings->y();
  int before = settings->height();

  // A chooser closed without a selection changes nothing.
  one<QPushButton>(settings.get(), "Add App…")->click();
  settle();
  EXPECT_TRUE(one<QLabel>(settings.get(), "Turn off for chosen apps"));

  nextChoice = {"org.gnome.Calculator"};
  one<QPushButton>(settings.get(), "Add App…")->click();
  settle();
  EXPECT_FALSE(one<QLabel>(settings.get(), "Turn off for chosen apps"));
  EXPECT_TRUE(one<QLabel>(settings.get(), "Calculator"));
  EXPECT_TRUE(pickerWith(settings.get(), "App is frontmost"));
  EXPECT_TRUE(one<QPushButton>(settings.get(), "Add App…"));
  EXPECT_GT(settings->height(), before);
  EXPECT_EQ(settings->y(), top);

  auto remove = settings->findChildren<QToolButton*>();
  QToolButton* removeCalculator = nullptr;
  for (auto* button : remove) {
    if (button->toolTip() == "Remove Calculator") removeCalculator = button;
  }
  ASSERT_TRUE(removeCalculator);
  removeCalculator->click();
  settle();
  EXPECT_TRUE(one<QLabel>(settings.get(), "Turn off for chosen apps"));
  EXPECT_EQ(stored("offAppBundleIDs"), PlistValue::array());
}

TEST_F(SettingsWindowTest, StoredValuesOutsideTheChoicesLeaveThePickerEmpty) {
  store("signalTimeoutMinutes", 15);
  store("offBelowPercent", 40);
  open(SettingsTab::automation);
  EXPECT_EQ(pickerWith(settings.get(), "At 10% or below")->currentIndex(), -1);
  settings->selectTab(SettingsTab::signals);
  settle();
  EXPECT_EQ(pickerWith(settings.get(), "5 minutes")->currentIndex(), -1);
  store("signalTimeoutMinutes", 60);
  settings->refreshIfVisible();
  EXPECT_EQ(pickerWith(settings.get(), "5 minutes")->currentText(), "1 hour");
}

TEST_F(SettingsWindowTest, ErrorsShowUnderTheirRowUntilTheNextAttempt) {
  open(SettingsTab::signals);
  fake.files.failWith = "No space left on device";
  one<QPushButton>(settings.get(), "Set Up")->click();
  settle();
  QLabel* error = nullptr;
  for (auto* label : settings->findChildren<QLabel*>()) {
    if (shown(label) && label->text().contains("No space left on device")) error = label;
  }
  ASSERT_TRUE(error);
  fake.files.failWith.reset();
  one<QPushButton>(settings.get(), "Set Up")->click();
  settle();
  EXPECT_FALSE(shown(error));
  EXPECT_TRUE(one<QPushButton>(settings.get(), "Remove"));
}

TEST_F(SettingsWindowTest, ARefusedLoginSwitchSpringsBack) {
  fake.loginItems.failure = "read-only";
  open();
  auto* login = toggleNamed(settings.get(), "Launch at login");
  ASSERT_TRUE(login);
  login->click();
  EXPECT_EQ(window.alertSound.beeps, 1);
  EXPECT_FALSE(login->isChecked());
}

TEST_F(SettingsWindowTest, CopyShowsCopiedUntilTheVirtualClockPassesOnePointEightSeconds) {
  open(SettingsTab::signals);
  one<QPushButton>(settings.get(), "Copy")->click();
  EXPECT_TRUE(one<QPushButton>(settings.get(), "Copied"));
  EXPECT_EQ(window.clipboard.texts, (std::vector<std::string>{"halomark run -- "}));
  fake.clock.advance(1.8);
  EXPECT_TRUE(one<QPushButton>(settings.get(), "Copy"));
}

TEST_F(SettingsWindowTest, KeyboardReachesEveryControlAndEscapeCloses) {
  for (auto tab : kSettingsTabs) {
    open(tab);
    settings->findChild<QToolButton*>(QString::fromStdString(toolbarID(tab)))->setFocus();
    QSet<QWidget*> reached;
    for (int press = 0; press < 60; ++press) {
      QWidget* focused = settings->focusWidget();
      ASSERT_TRUE(focused);
      reached.insert(focused);
      QTest::keyClick(focused, Qt::Key_Tab);
    }
    for (auto* control : settings->findChildren<QWidget*>()) {
      bool interactive = qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control);
      // Of the exclusive tab buttons Tab stops at the selected one; arrows move between them.
      auto* tabButton = qobject_cast<QToolButton*>(control);
      bool otherTab = tabButton && tabButton->isCheckable() && !tabButton->isChecked();
      if (!interactive || !shown(control) || otherTab) continue;
      EXPECT_TRUE(reached.contains(control)) << title(tab) << ": " << control->accessibleName().toStdString();
    }
  }
  QTest::keyClick(settings.get(), Qt::Key_Escape);
  EXPECT_FALSE(settings->isVisible());
  // Closing only hides: the same window comes back.
  settings->present();
  EXPECT_TRUE(settings->isVisible());
}

TEST_F(SettingsWindowTest, ArrowKeysMoveAlongTheTabs) {
  open();
  auto* general = settings->findChild<QToolButton*>("halomark.settings.general");
  general->setFocus();
  QTest::keyClick(general, Qt::Key_Right);
  EXPECT_EQ(model->selectedTab(), SettingsTab::automation);
  QTest::keyClick(settings->findChild<QToolButton*>("halomark.settings.automation"), Qt::Key_Left);
  QTest::keyClick(settings->findChild<QToolButton*>("halomark.settings.general"), Qt::Key_Left);
  EXPECT_EQ(model->selectedTab(), SettingsTab::signals);
}

TEST_F(SettingsWindowTest, UninstallAsksThroughTheWindowsAction) {
  open();
  one<QPushButton>(settings.get(), "Uninstall…")->click();
  EXPECT_EQ(uninstalls, 1);
}

}  // namespace
