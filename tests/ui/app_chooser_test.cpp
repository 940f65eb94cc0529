#include "ui/app_chooser.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "fakes/fake_window_services.h"
#include "ui/widget_lookup.h"

namespace {

using namespace WidgetLookup;

class AppChooserTest : public ::testing::Test {
 protected:
  AppChooserTest() {
    apps.apps = {{"org.gnome.Calculator", "Calculator", "accessories-calculator"},
                 {"org.example.Viewer", "My Viewer", ""},
                 {"vlc", "VLC media player", "vlc"}};
    apps.byFile["/tmp/x/com.example.Tool.desktop"] = {"com.example.Tool", "Tool", ""};
  }
  QListWidgetItem* item(AppChooser& chooser, const QString& name) {
    auto* list = chooser.findChild<QListWidget*>();
    return list->findItems(name, Qt::MatchExactly).value(0);
  }
  FakeInstalledApplications apps;
};

TEST_F(AppChooserTest, ChoosesSeveralInTheOrderPicked) {
  AppChooser chooser(apps);
  chooser.show();
  auto* add = chooser.findChildren<QPushButton*>().at(0);
  for (auto* button : chooser.findChildren<QPushButton*>()) {
    if (button->text() == "Add") add = button;
  }
  EXPECT_FALSE(add->isEnabled());
  item(chooser, "VLC media player")->setSelected(true);
  item(chooser, "Calculator")->setSelected(true);
  EXPECT_TRUE(add->isEnabled());
  add->click();
  EXPECT_EQ(chooser.result(), QDialog::Accepted);
  EXPECT_EQ(chooser.chosen(), (std::vector<std::string>{"vlc", "org.gnome.Calculator"}));
}

TEST_F(AppChooserTest, SearchFiltersByNameOrIdAndCancelChoosesNothing) {
  AppChooser chooser(apps);
  chooser.show();
  chooser.findChild<QLineEdit*>()->setText("view");
  EXPECT_TRUE(item(chooser, "Calculator")->isHidden());
  EXPECT_FALSE(item(chooser, "My Viewer")->isHidden());
  chooser.findChild<QLineEdit*>()->setText("gnome");
  EXPECT_FALSE(item(chooser, "Calculator")->isHidden());
  item(chooser, "Calculator")->setSelected(true);
  chooser.reject();
  EXPECT_TRUE(chooser.chosen().empty());
}

TEST_F(AppChooserTest, FilesWithoutAnApplicationIdAreSkipped) {
  AppChooser chooser(apps);
  chooser.addFiles(
      {"/tmp/x/notes.txt", "/tmp/x/com.example.Tool.desktop", "/tmp/x/com.example.Tool.desktop"});
  EXPECT_EQ(chooser.chosen(), (std::vector<std::string>{"com.example.Tool"}));
}

TEST_F(AppChooserTest, HalomarkIsNotOfferedAndTheNamesLineUp) {
  apps.apps.push_back({"app.halomark.Halomark", "Halomark", "app.halomark.Halomark"});
  AppChooser chooser(apps);
  EXPECT_EQ(item(chooser, "Halomark"), nullptr);
  auto* list = chooser.findChild<QListWidget*>();
  for (int i = 0; i < list->count(); ++i) {
    QIcon icon = list->item(i)->icon();
    EXPECT_EQ(icon.pixmap(list->iconSize()).deviceIndependentSize().toSize(), list->iconSize())
        << list->item(i)->text().toStdString();
  }
}

TEST_F(AppChooserTest, DownEntersTheMatchesAndReturnAddsNeverOpeningTheFileDialog) {
  AppChooser chooser(apps);
  chooser.show();
  auto* search = chooser.findChild<QLineEdit*>();
  search->setFocus();
  QTest::keyClicks(search, "vl");
  QTest::keyClick(search, Qt::Key_Down);
  auto* list = chooser.findChild<QListWidget*>();
  EXPECT_EQ(chooser.focusWidget(), list);
  EXPECT_EQ(list->currentItem(), item(chooser, "VLC media player"));
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(chooser.result(), QDialog::Accepted);
  EXPECT_EQ(chooser.chosen(), (std::vector<std::string>{"vlc"}));

  AppChooser again(apps);
  again.show();
  auto* field = again.findChild<QLineEdit*>();
  field->setFocus();
  QTest::keyClicks(field, "calc");
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(again.result(), QDialog::Accepted);
  EXPECT_EQ(again.chosen(), (std::vector<std::string>{"org.gnome.Calculator"}));
}

}  // namespace
