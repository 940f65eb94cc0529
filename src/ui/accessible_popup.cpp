#include "ui/accessible_popup.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QApplication>
#include <QMenu>
#include <QWidgetAction>

namespace {

class WithPopups : public QAccessibleApplication {
 public:
  int childCount() const override { return QAccessibleApplication::childCount() + int(popups().size()); }
  QAccessibleInterface* child(int index) const override {
    int windows = QAccessibleApplication::childCount();
    if (index < windows) return QAccessibleApplication::child(index);
    auto shown = popups();
    return index - windows < shown.size() ? QAccessible::queryAccessibleInterface(shown[index - windows])
                                          : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    int index = QAccessibleApplication::indexOfChild(child);
    if (index >= 0 || !child) return index;
    int popup = int(popups().indexOf(child->object()));
    return popup < 0 ? -1 : QAccessibleApplication::childCount() + popup;
  }

 private:
  // The shown windows Qt leaves out: the menus shown as popups of their own (a submenu belongs to
  // its menu's item), and the status item's window docked in an XEmbed tray.
  QObjectList popups() const {
    QObjectList listed;
    for (int i = 0; i < QAccessibleApplication::childCount(); ++i)
      if (QAccessibleInterface* window = QAccessibleApplication::child(i)) listed << window->object();
    QObjectList shown;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible() || listed.contains(window)) continue;
      auto* menu = qobject_cast<QMenu*>(window);
      bool popup = menu && menu->menuAction()->associatedObjects().isEmpty();
      bool item = QLatin1String(window->metaObject()->className()) == QLatin1String("QSystemTrayIconSys");
      if (popup || item) shown << window;
    }
    return shown;
  }
};

// A row of controls in a menu: named by its row, holding the row's controls. The menu asks for it by its
// action.
class ControlsItem : public QAccessibleObject {
 public:
  explicit ControlsItem(QWidgetAction* action) : QAccessibleObject(action) {}

  QAccessible::Role role() const override { return QAccessible::Grouping; }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? row()->accessibleName() : QString();
  }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = !row()->isVisible();
    state.disabled = !row()->isEnabled();
    return state;
  }
  QRect rect() const override { return QRect(row()->mapToGlobal(QPoint(0, 0)), row()->size()); }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(row()->parentWidget());
  }
  // The row's controls and labels, as if the item held them itself.
  int childCount() const override { return rowInterface() ? rowInterface()->childCount() : 0; }
  QAccessibleInterface* child(int index) const override {
    return rowInterface() ? rowInterface()->child(index) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return rowInterface() ? rowInterface()->indexOfChild(child) : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    return rowInterface() ? rowInterface()->childAt(x, y) : nullptr;
  }

 private:
  QWidget* row() const { return static_cast<QWidgetAction*>(object())->defaultWidget(); }
  QAccessibleInterface* rowInterface() const { return QAccessible::queryAccessibleInterface(row()); }
};

QAccessibleInterface* popupAccessible(const QString& className, QObject* object) {
  if (!object) return nullptr;
  if (object == qApp) return new WithPopups;
  auto* action = className == QLatin1String("QWidgetAction") ? qobject_cast<QWidgetAction*>(object) : nullptr;
  return action && action->defaultWidget() ? new ControlsItem(action) : nullptr;
}

}  // namespace

namespace AccessiblePopup {

void install() {
  static const bool installed = (QAccessible::installFactory(popupAccessible), true);
  (void)installed;
}

}  // namespace AccessiblePopup
