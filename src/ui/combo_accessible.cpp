#include "ui/combo_accessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

namespace {

class NamedCombo : public QAccessibleWidget {
 public:
  explicit NamedCombo(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return combo()->currentText();
    // Without a name of its own, what it shows, as Qt has it.
    if (t == QAccessible::Name && combo()->accessibleName().isEmpty()) return combo()->currentText();
    return QAccessibleWidget::text(t);
  }
  // The list of choices, as Qt's own dropdown exposes it.
  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(combo()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child && child->object() == combo()->view() ? 0 : -1;
  }
  QStringList actionNames() const override {
    return {showMenuAction(), pressAction(), setFocusAction()};
  }
  void doAction(const QString& action) override {
    if (action == showMenuAction() || action == pressAction()) {
      combo()->view()->isVisible() ? combo()->hidePopup() : combo()->showPopup();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* comboAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("QComboBox") || !object || !object->isWidgetType()) return nullptr;
  // Asked for as soon as its first choice is added, before its row names it.
  auto* combo = static_cast<QComboBox*>(object);
  return combo->isEditable() ? nullptr : new NamedCombo(combo);
}

}  // namespace

namespace ComboAccessible {

void install() {
  static const bool installed = (QAccessible::installFactory(comboAccessible), true);
  (void)installed;
}

}  // namespace ComboAccessible
