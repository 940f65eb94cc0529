#include "ui/app_chooser.h"

#include <gtest/gtest.h>

#include <QPushButton>

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

}  // namespace
