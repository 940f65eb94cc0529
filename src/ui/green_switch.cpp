#include "ui/green_switch.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

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

bool isDark(const QPalette& palette) { return palette.color(QPalette::Window).lightnessF() < 0.5; }

}  // namespace

GreenSwitch::GreenSwitch(QWidget* parent) : QWidget(parent) {
  static const bool installed = (QAccessible::installFactory(accessibleFactory), true);
  (void)installed;
  setFixedSize(sizeHint());
  setFocusPolicy(Qt::NoFocus);
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

QColor GreenSwitch::onColor() { return QColor(52, 199, 89); }

QColor GreenSwitch::offColor() const {
  // The grey follows the palette: darker on a dark theme, lighter on a light one.
  float level = isDark(palette()) ? 0.36f : 0.78f;
  return QColor::fromRgbF(level, level, level);
}

void GreenSwitch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  bool enabled = isEnabled();
  p.setPen(Qt::NoPen);
  p.setOpacity(enabled ? 1.0 : 0.4);
  p.setBrush(isOn_ ? onColor() : offColor());
  p.drawRoundedRect(r, r.height() / 2, r.height() / 2);

  double d = r.height() - 4;
  double left = isOn_ ? r.right() - 2 - d : r.left() + 2;
  QRectF knob(left, r.top() + 2, d, d);
  p.setOpacity(enabled ? 1.0 : 0.6);
  p.setBrush(Qt::white);
  p.drawEllipse(knob);
  p.setOpacity(1.0);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.15), 0.5));
  p.drawEllipse(knob);
}

void GreenSwitch::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) flip();
  event->accept();
}

void GreenSwitch::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) update();
  QWidget::changeEvent(event);
}
