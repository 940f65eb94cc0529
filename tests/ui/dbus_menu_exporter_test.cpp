#include "ui/dbus_menu_exporter.h"

#include <gtest/gtest.h>

#include <QActionGroup>
#include <QMenu>
#include <QSignalSpy>

#include "ui/qt_text.h"
#include "ui/widget_lookup.h"

namespace {

const DBusMenuLayoutItem* child(const DBusMenuLayoutItem& parent, const QString& label) {
  for (const auto& item : parent.children)
    if (item.properties.value("label").toString() == label) return &item;
  return nullptr;
}

TEST(DBusMenuExporterTest, LabelsSayWhatTheMenuShows) {
  EXPECT_EQ(DBusMenuExporter::label(QtText::literal("Apps & Schedule…")), "Apps & Schedule…");
  EXPECT_EQ(DBusMenuExporter::label("&Quit"), "_Quit");
  EXPECT_EQ(DBusMenuExporter::label("snake_case"), "snake__case") << "an underscore is not a mnemonic";
  EXPECT_EQ(QtText::shown(QtText::literal("Startup & Updates")), "Startup & Updates");
}

TEST(DBusMenuExporterTest, ExclusiveChoicesAreRadioItemsAndTheRestCheckMarks) {
  QMenu menu;
  QAction* logo = menu.addAction("Logo light");
  logo->setCheckable(true);
  logo->setChecked(true);
  QMenu* rules = menu.addMenu("Turn Off Automatically");
  auto* levels = new QActionGroup(&menu);
  for (const char* title : {"Never", "At 10% or Below"}) {
    QAction* choice = rules->addAction(title);
    choice->setCheckable(true);
    levels->addAction(choice);
  }
  levels->actions()[1]->setChecked(true);
  menu.addSeparator();
  QAction* quit = menu.addAction("Quit Halomark");
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quit->setToolTip("Quits and gives the logo back");

  DBusMenuExporter exporter(&menu);
  DBusMenuLayoutItem root = exporter.layout(0, -1);
  ASSERT_EQ(root.children.size(), 4);
  EXPECT_EQ(child(root, "Logo light")->properties.value("toggle-type"), "checkmark");
  EXPECT_EQ(child(root, "Logo light")->properties.value("toggle-state"), 1);
  const auto* submenu = child(root, "Turn Off Automatically");
  ASSERT_TRUE(submenu);
  EXPECT_EQ(submenu->properties.value("children-display"), "submenu");
  EXPECT_EQ(child(*submenu, "Never")->properties.value("toggle-type"), "radio");
  EXPECT_EQ(child(*submenu, "Never")->properties.value("toggle-state"), 0);
  EXPECT_EQ(child(*submenu, "At 10% or Below")->properties.value("toggle-state"), 1);
  EXPECT_EQ(root.children[2].properties.value("type"), "separator");
  EXPECT_EQ(child(root, "Quit Halomark")->properties.value("accessible-desc"),
            "Quits and gives the logo back");
  EXPECT_EQ(child(root, "Quit Halomark")->properties.value("shortcut").value<QList<QStringList>>(),
            (QList<QStringList>{{"Control", "Q"}}));
  EXPECT_FALSE(child(root, "Logo light")->properties.contains("accessible-desc")) << "no tool tip of its own";
  EXPECT_TRUE(exporter.layout(0, 0).children.isEmpty()) << "depth 0: the item alone";
}

TEST(DBusMenuExporterTest, ChangesReachTheHostOnceAndClicksTriggerAfterTheCall) {
  QMenu menu;
  QAction* item = menu.addAction("Stop Attention Signal");
  int triggered = 0;
  QObject::connect(item, &QAction::triggered, [&] { ++triggered; });
  DBusMenuExporter exporter(&menu);
  QSignalSpy updates(&exporter, &DBusMenuExporter::itemsPropertiesUpdated);
  item->setVisible(false);
  item->setText("Stop");
  WidgetLookup::settle();
  ASSERT_EQ(updates.size(), 1) << "one update for both changes";
  auto updated = updates[0][0].value<DBusMenuItemList>();
  ASSERT_EQ(updated.size(), 1);
  EXPECT_EQ(updated[0].properties.value("visible"), false);
  EXPECT_EQ(updated[0].properties.value("label"), "Stop");

  item->setVisible(true);
  int id = exporter.layout(0, -1).children[0].id;
  exporter.event(id, "clicked");
  EXPECT_EQ(triggered, 0) << "not while the host waits for the answer";
  WidgetLookup::settle();
  EXPECT_EQ(triggered, 1);

  QSignalSpy shown(&exporter, &DBusMenuExporter::menuAboutToShow);
  exporter.aboutToShow(0);
  EXPECT_EQ(shown.size(), 1);
}

}  // namespace
