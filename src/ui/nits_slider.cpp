#include "ui/nits_slider.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>

#include "menubar/slider_scale.h"

namespace {

class AccessibleNitsSlider : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleNitsSlider(NitsSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    // The value as the tool tip writes it ("1,000 nits").
    if (t == QAccessible::Value) return slider()->toolTip();
    return QAccessibleWidget::text(t);
  }
  QVariant currentValue() const override { return slider()->nits(); }
  void setCurrentValue(const QVariant& value) override { slider()->chooseNits(value.toDouble()); }
  QVariant maximumValue() const override { return SliderScale::nits(1); }
  QVariant minimumValue() const override { return SliderScale::nits(0); }
  QVariant minimumStepSize() const override { return 1.0; }

 private:
  NitsSlider* slider() const { return static_cast<NitsSlider*>(widget()); }
};

QAccessibleInterface* nitsSliderAccessible(const QString& className, QObject* object) {
  if (className == QLatin1String("NitsSlider") && object && object->isWidgetType())
    return new AccessibleNitsSlider(static_cast<NitsSlider*>(object));
  return nullptr;
}

}  // namespace

NitsSlider::NitsSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  static const bool installed = (QAccessible::installFactory(nitsSliderAccessible), true);
  (void)installed;
  setRange(0, kSteps);
  // The wheel and clicks in the groove move by a thousandth and a tenth of the travel: the fine
  // positions are for the keys' single nits, and a notch of the wheel must still be a visible move.
  setSingleStep(kSteps / 1000);
  setPageStep(kSteps / 10);
  setTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void NitsSlider::chooseNits(double nits) {
  double held = std::clamp(std::round(nits), SliderScale::nits(0), SliderScale::nits(1));
  if (chosen_) chosen_(held);
}

void NitsSlider::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left: chooseNits(SliderScale::stepped(nits_, -1)); break;
    case Qt::Key_Right: chooseNits(SliderScale::stepped(nits_, 1)); break;
    case Qt::Key_PageDown: chooseNits(SliderScale::paged(nits_, -1)); break;
    case Qt::Key_PageUp: chooseNits(SliderScale::paged(nits_, 1)); break;
    case Qt::Key_Home: chooseNits(SliderScale::nits(0)); break;
    case Qt::Key_End: chooseNits(SliderScale::nits(1)); break;
    default:
      // Up, Down, Return, Escape and the rest are the menu's.
      event->ignore();
      return;
  }
  event->accept();
}
