#include "ui/settings_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "ui/palette_ink.h"
#include "ui/toggle_switch.h"
#include "ui/uninstall_dialog.h"
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

TEST_F(SettingsWindowTest, EveryTabFitsItsContentInTheWindow) {
  for (auto tab : kSettingsTabs) {
    open(tab);
    if (const char* folder = std::getenv("HALOMARK_SCREENSHOTS"))
      settings->grab().save(QString::fromUtf8(folder) + "/settings-" +
                            QString::fromStdString(title(tab)).toLower() + ".png");
    for (auto* control : settings->findChildren<QWidget*>()) {
      if (!shown(control) || !(qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control)))
        continue;
      QRect at(control->mapTo(settings.get(), QPoint(0, 0)), control->size());
      EXPECT_TRUE(settings->rect().contains(at))
          << title(tab) << ": " << control->accessibleName().toStdString();
    }
  }
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

TEST_F(SettingsWindowTest, EscapeInAnOpenDropdownClosesOnlyTheDropdown) {
  open(SettingsTab::automation);
  QComboBox* picker = pickerWith(settings.get(), "Never");
  ASSERT_TRUE(picker);
  picker->setFocus();
  picker->showPopup();
  settle();
  QWidget* list = QApplication::activePopupWidget();
  ASSERT_TRUE(list);
  QTest::keyClick(list, Qt::Key_Escape);
  settle();
  EXPECT_FALSE(QApplication::activePopupWidget());
  EXPECT_TRUE(settings->isVisible()) << "the window stays";
  QTest::keyClick(picker, Qt::Key_Escape);
  EXPECT_FALSE(settings->isVisible()) << "a second Escape closes it";
}

TEST_F(SettingsWindowTest, AScreenReaderFindsTheWindowAndItsControlsByWhatTheyShow) {
  open(SettingsTab::signals);
  auto* window = QAccessible::queryAccessibleInterface(settings.get());
  EXPECT_EQ(window->role(), QAccessible::Window);
  EXPECT_EQ(window->text(QAccessible::Name), "Signals");
  // A button is named by its text, its row describes it.
  QPushButton* setUp = one<QPushButton>(settings.get(), "Set Up");
  ASSERT_TRUE(setUp);
  auto* button = QAccessible::queryAccessibleInterface(setUp);
  EXPECT_EQ(button->text(QAccessible::Name), "Set Up");
  EXPECT_EQ(button->text(QAccessible::Description), "Claude Code");

  open(SettingsTab::automation);
  // A dropdown shows a value ("Never"); it is named by its row.
  QComboBox* picker = pickerWith(settings.get(), "Never");
  ASSERT_TRUE(picker);
  auto* dropdown = QAccessible::queryAccessibleInterface(picker);
  EXPECT_EQ(dropdown->role(), QAccessible::ComboBox);
  EXPECT_EQ(dropdown->text(QAccessible::Name), "When battery is low");
  EXPECT_EQ(dropdown->text(QAccessible::Value), "Never");
  ASSERT_EQ(dropdown->childCount(), 1);
  EXPECT_EQ(dropdown->child(0)->role(), QAccessible::List) << "its choices";
  QCheckBox* quiet = toggleNamed(settings.get(), "Enable Quiet Hours");
  ASSERT_TRUE(quiet);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(quiet)->role(), QAccessible::CheckBox);

  // The tab bar's buttons are page tabs, the shown one selected; pressing one shows its page.
  auto* signalsTab = QAccessible::queryAccessibleInterface(
      settings->findChild<QToolButton*>(QString::fromStdString(toolbarID(SettingsTab::signals))));
  auto* automationTab = QAccessible::queryAccessibleInterface(
      settings->findChild<QToolButton*>(QString::fromStdString(toolbarID(SettingsTab::automation))));
  EXPECT_EQ(signalsTab->role(), QAccessible::PageTab);
  EXPECT_EQ(signalsTab->text(QAccessible::Name), "Signals");
  EXPECT_TRUE(automationTab->state().selected);
  EXPECT_FALSE(signalsTab->state().selected);
  signalsTab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(settings.get())->text(QAccessible::Name), "Signals");
  EXPECT_TRUE(signalsTab->state().selected);
}

TEST_F(SettingsWindowTest, TheRowsSwitchesAreSwitchesWhoseTracksShowInLightAndDarkThemes) {
  open();
  QCheckBox* login = toggleNamed(settings.get(), "Launch at login");
  ASSERT_TRUE(qobject_cast<ToggleSwitch*>(login));
  ToggleSwitch control;
  control.resize(control.sizeHint());
  for (QColor window : {QColor(246, 245, 244), QColor(53, 53, 53)}) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, window.lightness() > 128 ? Qt::black : Qt::white);
    palette.setColor(QPalette::Highlight, QColor(53, 132, 228));
    control.setPalette(palette);
    for (bool on : {false, true}) {
      control.setChecked(on);
      QImage picture(control.size(), QImage::Format_RGB32);
      picture.fill(window);
      control.render(&picture);
      // The track at the knob's far side.
      QColor track = picture.pixelColor(on ? 6 : control.width() - 6, control.height() / 2);
      EXPECT_GE(Contrast::ratio(PaletteInk::toRgb(track), PaletteInk::toRgb(window)), Contrast::kShape)
          << window.name().toStdString() << (on ? " on" : " off");
    }
  }
}

TEST_F(SettingsWindowTest, TheTabsIconsAreOneFamilyInTheTextColourWhateverTheTheme) {
  // A theme that has a coloured picture for one of the tabs' names and not for the others.
  QTemporaryDir themes;
  QDir(themes.path()).mkpath("mixed/24x24/status");
  QFile index(themes.path() + "/mixed/index.theme");
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.write("[Icon Theme]\nName=mixed\nDirectories=24x24/status\n\n[24x24/status]\nSize=24\nType=Fixed\n");
  index.close();
  QImage star(24, 24, QImage::Format_ARGB32);
  star.fill(QColor(255, 200, 0));
  ASSERT_TRUE(star.save(themes.path() + "/mixed/24x24/status/starred.png"));
  const QStringList paths = QIcon::themeSearchPaths();
  const QString theme = QIcon::themeName();
  QIcon::setThemeSearchPaths({themes.path()});
  QIcon::setThemeName("mixed");
  open();
  QIcon::setThemeSearchPaths(paths);
  QIcon::setThemeName(theme);
  QColor ink = settings->palette().color(QPalette::ButtonText);
  for (auto tab : kSettingsTabs) {
    auto* button = settings->findChild<QToolButton*>(QString::fromStdString(toolbarID(tab)));
    QImage picture = button->icon().pixmap(24, 24).toImage();
    int inked = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) {
        QColor pixel = picture.pixelColor(x, y);
        if (pixel.alpha() < 128) continue;
        ++inked;
        EXPECT_EQ(pixel.rgb() & 0xffffff, ink.rgb() & 0xffffff) << title(tab) << " at " << x << "," << y;
        if (HasFailure()) return;
      }
    EXPECT_GT(inked, 20) << title(tab) << " draws something";
  }
}

TEST(AlertTest, TheTitleIsTheHeadingAndTheTextFollows) {
  QMessageBox alert;
  UninstallDialog::setAlertTexts(alert, "Uninstall Halomark?", "It removes <everything> & more.\nSure?");
  QStringList shown;
  for (auto* label : alert.findChildren<QLabel*>())
    if (!label->text().isEmpty())
      shown << QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
  EXPECT_TRUE(shown.contains("Uninstall Halomark?")) << shown.join(" | ").toStdString();
  EXPECT_TRUE(shown.contains("It removes <everything> & more.\nSure?") ||
              shown.contains("It removes <everything> & more.Sure?") ||
              shown.contains("It removes <everything> & more.\u2028Sure?"))
      << shown.join(" | ").toStdString();
}

}  // namespace
