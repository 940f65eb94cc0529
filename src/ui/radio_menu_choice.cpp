#include "ui/radio_menu_choice.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAction>
#include <QMenu>
#include <QPointer>

namespace {

constexpr char kChoiceProperty[] = "halomarkRadioChoice";

// What a screen reader reads of the item: its text without the mnemonic marks, its place in the
// menu, checked or not, and a press that chooses it as a click does.
class AccessibleChoice : public QAccessibleObject, public QAccessibleActionInterface {
 public:
  explicit AccessibleChoice(QAction* action) : QAccessibleObject(action), action_(action) {}

  bool isValid() const override { return action_ && menu(); }
  QAccessible::Role role() const override { return QAccessible::RadioButton; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(menu()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QWindow* window() const override { return menu() ? menu()->windowHandle() : nullptr; }

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !action_) return {};
    // "&&" shows an ampersand, a single "&" marks the mnemonic and shows nothing.
    QString shown, label = action_->text();
    for (qsizetype i = 0; i < label.size(); ++i) {
      if (label[i] == QLatin1Char('&') && ++i == label.size()) break;
      shown += label[i];
    }
    return shown;
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return {};
    QRect place = menu()->actionGeometry(action_);
    return QRect(menu()->mapToGlobal(place.topLeft()), place.size());
  }

  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) {
      s.invalid = true;
      return s;
    }
    s.checkable = true;
    s.checked = action_->isChecked();
    s.disabled = !action_->isEnabled();
    s.invisible = !action_->isVisible() || !menu()->isVisible();
    s.focusable = true;
    s.focused = menu()->activeAction() == action_;
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && isValid() && action_->isEnabled()) action_->trigger();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QMenu* menu() const { return action_ ? qobject_cast<QMenu*>(action_->parent()) : nullptr; }

  QPointer<QAction> action_;
};

QAccessibleInterface* accessibleChoice(const QString& className, QObject* object) {
  if (className == QLatin1String("QAction") && object && object->property(kChoiceProperty).toBool())
    return new AccessibleChoice(static_cast<QAction*>(object));
  return nullptr;
}

}  // namespace

namespace RadioMenuChoice {

QAction* add(QMenu* menu, const QString& text) {
  static const bool installed = (QAccessible::installFactory(accessibleChoice), true);
  (void)installed;
  // Marked before the menu holds it: a screen reader's view of it is made at the first query.
  auto* item = new QAction(text, menu);
  item->setProperty(kChoiceProperty, true);
  item->setCheckable(true);
  menu->addAction(item);
  return item;
}

}  // namespace RadioMenuChoice
