#include "ui/dbus_menu_exporter.h"

#include <QAction>
#include <QActionEvent>
#include <QActionGroup>
#include <QDBusAbstractAdaptor>
#include <QDBusMetaType>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include "ui/qt_text.h"

namespace {

void registerTypes() {
  static const bool registered = [] {
    qDBusRegisterMetaType<DBusMenuItem>();
    qDBusRegisterMetaType<DBusMenuItemList>();
    qDBusRegisterMetaType<DBusMenuItemKeys>();
    qDBusRegisterMetaType<DBusMenuItemKeysList>();
    qDBusRegisterMetaType<DBusMenuLayoutItem>();
    qDBusRegisterMetaType<DBusMenuEvent>();
    qDBusRegisterMetaType<DBusMenuEventList>();
    qDBusRegisterMetaType<QList<QStringList>>();
    // The adaptor's signals and slots name the lists by these names.
    qRegisterMetaType<DBusMenuItemList>("DBusMenuItemList");
    qRegisterMetaType<DBusMenuItemKeysList>("DBusMenuItemKeysList");
    qRegisterMetaType<DBusMenuEventList>("DBusMenuEventList");
    return true;
  }();
  (void)registered;
}

// A key sequence as dbusmenu spells it: [["Control", "Q"]].
QList<QStringList> shortcutOf(const QKeySequence& sequence) {
  QList<QStringList> result;
  for (int i = 0; i < sequence.count(); ++i) {
    QKeyCombination combination = sequence[i];
    QStringList keys;
    Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (modifiers & Qt::ControlModifier) keys << QStringLiteral("Control");
    if (modifiers & Qt::AltModifier) keys << QStringLiteral("Alt");
    if (modifiers & Qt::ShiftModifier) keys << QStringLiteral("Shift");
    if (modifiers & Qt::MetaModifier) keys << QStringLiteral("Super");
    keys << QKeySequence(combination.key()).toString(QKeySequence::PortableText);
    result << keys;
  }
  return result;
}

QVariantMap only(const QVariantMap& properties, const QStringList& names) {
  if (names.isEmpty()) return properties;
  QVariantMap chosen;
  for (const QString& name : names) {
    if (properties.contains(name)) chosen.insert(name, properties.value(name));
  }
  return chosen;
}

}  // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItem& item) {
  argument.beginStructure();
  argument << item.id << item.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItem& item) {
  argument.beginStructure();
  argument >> item.id >> item.properties;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemKeys& keys) {
  argument.beginStructure();
  argument << keys.id << keys.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemKeys& keys) {
  argument.beginStructure();
  argument >> keys.id >> keys.properties;
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item) {
  argument.beginStructure();
  argument << item.id << item.properties;
  // Each child travels as a variant holding its own (ia{sv}av) structure.
  argument.beginArray(qMetaTypeId<QDBusVariant>());
  for (const DBusMenuLayoutItem& child : item.children) argument << QDBusVariant(QVariant::fromValue(child));
  argument.endArray();
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item) {
  argument.beginStructure();
  argument >> item.id >> item.properties;
  argument.beginArray();
  item.children.clear();
  while (!argument.atEnd()) {
    QDBusVariant child;
    argument >> child;
    item.children << qdbus_cast<DBusMenuLayoutItem>(child.variant());
  }
  argument.endArray();
  argument.endStructure();
  return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event) {
  argument.beginStructure();
  argument << event.id << event.eventId << event.data << event.timestamp;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event) {
  argument.beginStructure();
  argument >> event.id >> event.eventId >> event.data >> event.timestamp;
  argument.endStructure();
  return argument;
}

class DBusMenuAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
  Q_PROPERTY(uint Version READ version)
  Q_PROPERTY(QString TextDirection READ textDirection)
  Q_PROPERTY(QString Status READ status)
  Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

 public:
  explicit DBusMenuAdaptor(DBusMenuExporter* exporter) : QDBusAbstractAdaptor(exporter), exporter_(exporter) {
    connect(exporter, &DBusMenuExporter::itemsPropertiesUpdated, this,
            &DBusMenuAdaptor::ItemsPropertiesUpdated);
    connect(exporter, &DBusMenuExporter::layoutUpdated, this, &DBusMenuAdaptor::LayoutUpdated);
  }

  uint version() const { return 3; }
  QString textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
  }
  QString status() const { return QStringLiteral("normal"); }
  QStringList iconThemePath() const { return {}; }

 public Q_SLOTS:
  uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                 DBusMenuLayoutItem& layout) {
    layout = exporter_->layout(parentId, recursionDepth);
    filter(layout, propertyNames);
    return exporter_->revision();
  }
  DBusMenuItemList GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames) {
    DBusMenuItemList items;
    for (int id : ids) {
      if (exporter_->knows(id)) items << DBusMenuItem{id, only(exporter_->properties(id), propertyNames)};
    }
    return items;
  }
  QDBusVariant GetProperty(int id, const QString& name) {
    return QDBusVariant(exporter_->properties(id).value(name));
  }
  void Event(int id, const QString& eventId, const QDBusVariant&, uint) { exporter_->event(id, eventId); }
  QList<int> EventGroup(const DBusMenuEventList& events) {
    QList<int> unknown;
    for (const DBusMenuEvent& event : events) {
      if (exporter_->knows(event.id)) {
        exporter_->event(event.id, event.eventId);
      } else {
        unknown << event.id;
      }
    }
    return unknown;
  }
  bool AboutToShow(int id) {
    exporter_->aboutToShow(id);
    return false;
  }
  QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (int id : ids) {
      if (exporter_->knows(id)) {
        exporter_->aboutToShow(id);
      } else {
        idErrors << id;
      }
    }
    return {};
  }

 Q_SIGNALS:
  void ItemsPropertiesUpdated(const DBusMenuItemList& updatedProps, const DBusMenuItemKeysList& removedProps);
  void LayoutUpdated(uint revision, int parent);
  void ItemActivationRequested(int id, uint timestamp);

 private:
  static void filter(DBusMenuLayoutItem& item, const QStringList& names) {
    item.properties = only(item.properties, names);
    for (auto& child : item.children) filter(child, names);
  }

  DBusMenuExporter* exporter_;
};

DBusMenuExporter::DBusMenuExporter(QMenu* menu, QObject* parent) : QObject(parent), menu_(menu) {
  registerTypes();
  new DBusMenuAdaptor(this);
  adopt(menu_);
}

DBusMenuExporter::~DBusMenuExporter() {
  if (!path_.isEmpty()) bus_.unregisterObject(path_);
}

bool DBusMenuExporter::publish(QDBusConnection bus, const QString& path) {
  bus_ = std::move(bus);
  if (!bus_.registerObject(path, this, QDBusConnection::ExportAdaptors)) return false;
  path_ = path;
  return true;
}

QString DBusMenuExporter::label(const QString& qtText) {
  QString result;
  result.reserve(qtText.size());
  for (qsizetype i = 0; i < qtText.size(); ++i) {
    QChar c = qtText.at(i);
    if (c == QLatin1Char('&') && i + 1 < qtText.size()) {
      QChar next = qtText.at(++i);
      if (next == QLatin1Char('&')) {
        result += QLatin1Char('&');
      } else {
        result += QLatin1Char('_');
        if (next == QLatin1Char('_')) result += QLatin1Char('_');
        result += next;
      }
    } else if (c == QLatin1Char('_')) {
      result += QStringLiteral("__");
    } else {
      result += c;
    }
  }
  return result;
}

void DBusMenuExporter::adopt(QMenu* menu) {
  menu->installEventFilter(this);
  for (QAction* action : menu->actions()) idOf(action);
}

int DBusMenuExporter::idOf(QAction* action) {
  if (auto found = ids_.find(action); found != ids_.end()) return *found;
  int id = nextId_++;
  ids_.insert(action, id);
  actions_.insert(id, action);
  connect(action, &QAction::changed, this, [this, action] { changed(action); });
  connect(action, &QObject::destroyed, this, [this, action, id] {
    ids_.remove(action);
    actions_.remove(id);
  });
  if (QMenu* submenu = action->menu()) adopt(submenu);
  return id;
}

QMenu* DBusMenuExporter::menuOf(int id) const {
  if (id == 0) return menu_;
  QAction* action = actions_.value(id);
  return action ? action->menu() : nullptr;
}

QVariantMap DBusMenuExporter::properties(int id) const {
  QVariantMap p;
  if (id == 0) {
    p.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    return p;
  }
  QAction* action = actions_.value(id);
  if (!action) return p;
  p.insert(QStringLiteral("visible"), action->isVisible());
  if (action->isSeparator()) {
    p.insert(QStringLiteral("type"), QStringLiteral("separator"));
    return p;
  }
  p.insert(QStringLiteral("label"), label(action->text()));
  p.insert(QStringLiteral("enabled"), action->isEnabled());
  if (action->isCheckable()) {
    QActionGroup* group = action->actionGroup();
    bool radio = group && group->exclusionPolicy() != QActionGroup::ExclusionPolicy::None;
    p.insert(QStringLiteral("toggle-type"), radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
    p.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
  }
  if (action->menu()) p.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
  if (!action->shortcut().isEmpty())
    p.insert(QStringLiteral("shortcut"), QVariant::fromValue(shortcutOf(action->shortcut())));
  // A tool tip set apart from the label tells what the item does.
  if (!action->toolTip().isEmpty() && action->toolTip() != QtText::shown(action->text()))
    p.insert(QStringLiteral("accessible-desc"), action->toolTip());
  return p;
}

DBusMenuLayoutItem DBusMenuExporter::layout(int parentId, int depth) const {
  DBusMenuLayoutItem item{parentId, properties(parentId), {}};
  QMenu* menu = menuOf(parentId);
  if (!menu || depth == 0) return item;
  for (QAction* action : menu->actions()) {
    int id = ids_.value(action, -1);
    if (id < 0) continue;
    item.children << layout(id, depth < 0 ? -1 : depth - 1);
  }
  return item;
}

void DBusMenuExporter::event(int id, const QString& eventId) {
  if (eventId == QLatin1String("opened")) {
    aboutToShow(id);
    return;
  }
  if (eventId != QLatin1String("clicked")) return;
  QPointer<QAction> action = actions_.value(id);
  if (!action || !action->isEnabled()) return;
  // After the call's answer: what the item does may open a window and wait in it.
  QTimer::singleShot(0, this, [action] {
    if (action) action->trigger();
  });
}

void DBusMenuExporter::aboutToShow(int id) {
  Q_EMIT menuAboutToShow(id);
  flush();
}

void DBusMenuExporter::changed(QAction* action) {
  int id = ids_.value(action, -1);
  if (id < 0) return;
  if (!dirty_.contains(id)) dirty_ << id;
  if (flushQueued_) return;
  flushQueued_ = true;
  QTimer::singleShot(0, this, [this] { flush(); });
}

void DBusMenuExporter::flush() {
  flushQueued_ = false;
  if (dirty_.isEmpty()) return;
  DBusMenuItemList updated;
  for (int id : std::as_const(dirty_)) {
    if (knows(id)) updated << DBusMenuItem{id, properties(id)};
  }
  dirty_.clear();
  Q_EMIT itemsPropertiesUpdated(updated, {});
}

bool DBusMenuExporter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ActionAdded || event->type() == QEvent::ActionRemoved) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu && event->type() == QEvent::ActionAdded) idOf(static_cast<QActionEvent*>(event)->action());
    int parent = menu == menu_ ? 0 : (menu ? ids_.value(menu->menuAction(), 0) : 0);
    Q_EMIT layoutUpdated(++revision_, parent);
  }
  return QObject::eventFilter(watched, event);
}

#include "dbus_menu_exporter.moc"
