#include "ui/green_switch.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/palette_ink.h"
#include "ui/switch_painter.h"

namespace {

class AccessibleSwitch : public QAccessibleWidget {
 public:
  explicit AccessibleSwitch(GreenSwitch* widget) : QAccessibleWidget(widget, QAccessible::CheckBox) {
    addControllingSignal(QStringLiteral("destroyed()"));
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = control()->isOn();
    return s;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Description) return QStringLiteral("switch");
    if (t == QAccessible::Value) return control()->isOn() ? QStringLiteral("1") : QStringLiteral("0");
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override { return {pressAction(), toggleAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() || name == toggleAction()) control()->flip();
  }

 private:
  GreenSwitch* control() const { return static_cast<GreenSwitch*>(widget()); }
};

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("GreenSwitch") && object && object->isWidgetType())
    return new AccessibleSwitch(static_cast<GreenSwitch*>(object));
  return nullptr;
}

const QColor kGreen(52, 199, 89);

}  // namespace

GreenSwitch::GreenSwitch(QWidget* parent) : QWidget(parent) {
  static const bool installed = (QAccessible::installFactory(accessibleFactory), true);
  (void)installed;
  setFixedSize(sizeHint());
  setFocusPolicy(Qt::StrongFocus);
}

void GreenSwitch::setOn(bool on) {
  if (on == isOn_) return;
  isOn_ = on;
  update();
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(this, changed);
  QAccessible::updateAccessibility(&event);
}

bool GreenSwitch::flip() {
  if (!isEnabled()) return false;
  setOn(!isOn_);
  if (onChange_) onChange_(isOn_);
  return true;
}

QColor GreenSwitch::onColor() const { return PaletteInk::switchOn(palette(), kGreen); }

QColor GreenSwitch::offColor() const { return PaletteInk::switchOff(palette()); }

void GreenSwitch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  SwitchPainter::paint(p, rect(), isOn_, isEnabled(), hasFocus(), palette(), kGreen);
}

void GreenSwitch::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) flip();
  event->accept();
}

void GreenSwitch::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space: flip(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      flip();
      // Left to the menu, which closes as after choosing an item.
      event->ignore();
      return;
    default: QWidget::keyPressEvent(event); return;
  }
  event->accept();
}

void GreenSwitch::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) update();
  QWidget::changeEvent(event);
}
