// A QMenu and its submenus exported as com.canonical.dbusmenu: the menu a StatusNotifierItem host
// draws itself. Each action is one item; checkable actions are check marks, or radio items when they
// belong to an exclusive group; Qt's mnemonic text becomes dbusmenu's ("&&" a literal "&", "_" a
// literal "_"); the tool tip is the item's accessible description. Changes of the actions reach the
// host as they happen.
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class QAction;
class QMenu;

struct DBusMenuItem {
  int id = 0;
  QVariantMap properties;
};
using DBusMenuItemList = QList<DBusMenuItem>;

struct DBusMenuItemKeys {
  int id = 0;
  QStringList properties;
};
using DBusMenuItemKeysList = QList<DBusMenuItemKeys>;

struct DBusMenuLayoutItem {
  int id = 0;
  QVariantMap properties;
  QList<DBusMenuLayoutItem> children;
};

struct DBusMenuEvent {
  int id = 0;
  QString eventId;
  QDBusVariant data;
  uint timestamp = 0;
};
using DBusMenuEventList = QList<DBusMenuEvent>;

Q_DECLARE_METATYPE(DBusMenuItem)
Q_DECLARE_METATYPE(DBusMenuItemKeys)
Q_DECLARE_METATYPE(DBusMenuLayoutItem)
Q_DECLARE_METATYPE(DBusMenuEvent)

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& keys);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& keys);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

class DBusMenuExporter : public QObject {
  Q_OBJECT

 public:
  explicit DBusMenuExporter(QMenu* menu, QObject* parent = nullptr);
  ~DBusMenuExporter() override;

  // Exports the menu at `path` on `bus`; false when the path is taken.
  bool publish(QDBusConnection bus, const QString& path);

  // Dbusmenu's label for Qt's text of an action: "&&" is "&", a lone "&" marks the mnemonic ("_"),
  // and "_" is doubled.
  static QString label(const QString& qtText);

  // What the adaptor serves.
  DBusMenuLayoutItem layout(int parentId, int depth) const;
  QVariantMap properties(int id) const;
  bool knows(int id) const { return id == 0 || actions_.contains(id); }
  // "clicked" triggers the item once the call has returned; "opened" of a menu counts as it being
  // about to show.
  void event(int id, const QString& eventId);
  // The host is about to show the menu of `id`: brings it up to date before answering.
  void aboutToShow(int id);
  uint revision() const { return revision_; }

 Q_SIGNALS:
  // The menu of `id` (0: the whole menu) is about to be shown by the host.
  void menuAboutToShow(int id);
  void itemsPropertiesUpdated(const DBusMenuItemList& updated, const DBusMenuItemKeysList& removed);
  void layoutUpdated(uint revision, int parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void adopt(QMenu* menu);
  int idOf(QAction* action);
  QMenu* menuOf(int id) const;
  void changed(QAction* action);
  void flush();

  QMenu* menu_;
  QDBusConnection bus_{QString()};
  QString path_;
  QHash<int, QAction*> actions_;
  QHash<QAction*, int> ids_;
  QList<int> dirty_;
  bool flushQueued_ = false;
  int nextId_ = 1;
  uint revision_ = 1;
};
