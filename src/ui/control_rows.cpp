#include "ui/control_rows.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <cmath>

#include "menubar/menu_texts.h"
#include "ui/green_switch.h"

namespace {

constexpr int kRowWidth = 260;

QWidget* row(int height) {
  auto* widget = new QWidget;
  widget->setFixedSize(kRowWidth, height);
  return widget;
}

// A segment of a segmented control. The chosen one is filled with the palette's selection colour:
// a style's own "checked" look can be nearly invisible (a dark theme draws it a shade off the rest).
class Segment : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (!isChecked()) {
      QPushButton::paintEvent(event);
      return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    QColor fill = palette().color(group, QPalette::Highlight);
    painter.setPen(fill.darker(115));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 1.5, -0.5, -1.5), 3, 3);
    painter.setPen(palette().color(group, QPalette::HighlightedText));
    painter.drawText(rect(), Qt::AlignCenter, text());
  }
};

// Equal-width buttons side by side, touching, like one segmented control.
QWidget* segments(QWidget* parent, QButtonGroup* group, const QRect& geometry, bool small,
                  const std::vector<std::pair<QString, QString>>& labelsAndTips) {
  auto* strip = new QWidget(parent);
  strip->setGeometry(geometry);
  auto* layout = new QHBoxLayout(strip);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  int id = 0;
  for (const auto& [label, tip] : labelsAndTips) {
    auto* button = new Segment(label, strip);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button->setFixedHeight(geometry.height());
    if (small) {
      QFont font = button->font();
      font.setPointSizeF(font.pointSizeF() * 0.85);
      button->setFont(font);
    }
    group->addButton(button, id++);
    layout->addWidget(button, 1);
  }
  return strip;
}

QLabel* smallLabel(const char* text, QWidget* parent, const QRect& geometry, Qt::Alignment alignment) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(geometry);
  label->setAlignment(alignment | Qt::AlignVCenter);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 0.85);
  label->setFont(font);
  label->setForegroundRole(QPalette::PlaceholderText);
  return label;
}

}  // namespace

ControlRows::ControlRows(MenuActions& actions, QObject* parent)
    : QObject(parent),
      actions_(actions),
      powerRow_(buildPowerRow()),
      modeRow_(buildModeRow()),
      sliderRow_(buildSliderRow()),
      presetRow_(buildPresetRow()) {}

ControlRows::~ControlRows() = default;

QWidget* ControlRows::buildPowerRow() {
  QWidget* widget = row(32);
  auto* label = new QLabel(QString::fromUtf8(MenuTexts::kLogoLight), widget);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  label->setGeometry(14, 7, 150, 18);
  powerSwitch_ = new GreenSwitch(widget);
  powerSwitch_->setGeometry(214, 7, 32, 18);
  powerSwitch_->setAccessibleName(QString::fromUtf8(MenuTexts::kLogoLight));
  powerSwitch_->setOnChange([this](bool on) { actions_.switchFlipped(on); });
  return widget;
}

QWidget* ControlRows::buildModeRow() {
  QWidget* widget = row(30);
  modeGroup_ = new QButtonGroup(widget);
  QWidget* strip = segments(
      widget, modeGroup_, QRect(14, 4, 232, 22), false,
      {{MenuTexts::kAutomatic, MenuTexts::kAutomaticToolTip}, {MenuTexts::kFixed, MenuTexts::kFixedToolTip}});
  strip->setAccessibleName(QString::fromUtf8(MenuTexts::kModeAccessibleName));
  for (auto* button : modeGroup_->buttons()) button->setCheckable(true);
  connect(modeGroup_, &QButtonGroup::idClicked, this, [this](int id) { actions_.modeChosen(id); });
  return widget;
}

QWidget* ControlRows::buildSliderRow() {
  QWidget* widget = row(30);
  smallLabel(MenuTexts::kDim, widget, QRect(14, 7, 30, 16), Qt::AlignLeft);
  slider_ = new QSlider(Qt::Horizontal, widget);
  slider_->setGeometry(46, 5, 156, 20);
  slider_->setRange(0, kSliderSteps);
  slider_->setTracking(true);
  slider_->setFocusPolicy(Qt::NoFocus);
  slider_->setAccessibleName(QString::fromUtf8(MenuTexts::kSliderAccessibleName));
  smallLabel(MenuTexts::kBright, widget, QRect(206, 7, 40, 16), Qt::AlignRight);
  connect(slider_, &QSlider::valueChanged, this, &ControlRows::sliderMoved);
  return widget;
}

QWidget* ControlRows::buildPresetRow() {
  QWidget* widget = row(26);
  presetGroup_ = new QButtonGroup(widget);
  std::vector<std::pair<QString, QString>> presets;
  for (const auto& preset : MenuTexts::kPresets)
    presets.emplace_back(QString::fromUtf8(preset.title),
                         QString::fromStdString(MenuTexts::presetToolTip(preset)));
  QWidget* strip = segments(widget, presetGroup_, QRect(14, 3, 232, 20), true, presets);
  strip->setAccessibleName(QString::fromUtf8(MenuTexts::kPresetsAccessibleName));
  connect(presetGroup_, &QButtonGroup::idClicked, this, [this](int id) { actions_.presetChosen(id); });
  return widget;
}

void ControlRows::selectMode(int segment) {
  // An exclusive group cannot show "nothing selected" (launch on a machine without the logo).
  modeGroup_->setExclusive(false);
  for (auto* button : modeGroup_->buttons()) button->setChecked(modeGroup_->id(button) == segment);
  modeGroup_->setExclusive(true);
}

void ControlRows::sliderMoved(int value) {
  QString text = QString::fromStdString(actions_.sliderMoved(double(value) / kSliderSteps));
  // Until the pause applies the change, the row shows what the move stored.
  powerSwitch_->setOn(true);
  selectMode(1);
  slider_->setToolTip(text);
  slider_->setAccessibleDescription(text);
}

void ControlRows::render(const MenuState& state) {
  for (QWidget* control : std::initializer_list<QWidget*>{powerSwitch_, modeRow_, slider_, presetRow_})
    control->setEnabled(state.available);
  powerSwitch_->setOn(state.switchOn);
  selectMode(state.modeSegment);
  // A refresh while the user holds the slider leaves the knob under the pointer.
  if (!slider_->isSliderDown()) {
    QSignalBlocker quiet(slider_);
    slider_->setValue(static_cast<int>(std::lround(state.sliderPosition * kSliderSteps)));
  }
  QString valueText = QString::fromStdString(state.sliderValueText);
  slider_->setToolTip(valueText);
  slider_->setAccessibleDescription(valueText);
}
