#include "ui/control_rows.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <cmath>

#include "menubar/menu_texts.h"
#include "menubar/slider_scale.h"
#include "ui/green_switch.h"
#include "ui/nits_slider.h"
#include "ui/palette_ink.h"
#include "ui/qt_text.h"

namespace {

// A segment of a segmented control: filled with the selection colour when chosen (a style's own
// "checked" look can be nearly invisible in a dark theme), outlined so its edge stands out, and
// ringed while it has the keyboard.
void paintSegment(QAbstractButton* button, bool chosen, double fontScale) {
  QPainter p(button);
  p.setRenderHint(QPainter::Antialiasing);
  const QPalette& palette = button->palette();
  QPalette::ColorGroup group = button->isEnabled() ? QPalette::Active : QPalette::Disabled;
  QRectF r = QRectF(button->rect()).adjusted(0.5, 1.5, -0.5, -1.5);
  QColor fill = chosen ? palette.color(group, QPalette::Highlight) : palette.color(group, QPalette::Button);
  p.setPen(chosen ? fill.darker(115) : PaletteInk::switchOff(palette));
  p.setBrush(fill);
  p.drawRoundedRect(r, 3, 3);
  if (button->hasFocus()) {
    p.setPen(QPen(
        chosen ? palette.color(group, QPalette::HighlightedText) : palette.color(QPalette::Highlight), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
  }
  QFont font = button->font();
  if (fontScale != 1) font.setPointSizeF(font.pointSizeF() * fontScale);
  p.setFont(font);
  p.setPen(palette.color(group, chosen ? QPalette::HighlightedText : QPalette::ButtonText));
  p.drawText(button->rect(), Qt::AlignCenter | Qt::TextShowMnemonic, button->text());
}

// Automatic or Fixed: a radio button drawn as a segment. Left and Right choose; Up and Down are
// the menu's.
class ModeSegment : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;
  QSize sizeHint() const override { return {fontMetrics().horizontalAdvance(text()) + 24, 22}; }

 protected:
  void paintEvent(QPaintEvent*) override { paintSegment(this, isChecked(), 1.0); }
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
      event->ignore();
      return;
    }
    QRadioButton::keyPressEvent(event);
  }
};

// A preset: a push button drawn as a segment. Left and Right move between the presets; Space and
// Return choose, Return closing the menu as a menu item does.
class PresetButton : public QPushButton {
 public:
  using QPushButton::QPushButton;
  QSize sizeHint() const override { return {fontMetrics().horizontalAdvance(text()) + 16, 20}; }

 protected:
  void paintEvent(QPaintEvent*) override { paintSegment(this, isDown(), 0.85); }
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Left:
      case Qt::Key_Right: {
        auto buttons = group()->buttons();
        int next = buttons.indexOf(this) + (event->key() == Qt::Key_Right ? 1 : -1);
        if (next >= 0 && next < buttons.size()) buttons[next]->setFocus(Qt::TabFocusReason);
        return;
      }
      case Qt::Key_Return:
      case Qt::Key_Enter:
        click();
        event->ignore();
        return;
      case Qt::Key_Up:
      case Qt::Key_Down: event->ignore(); return;
      default: QPushButton::keyPressEvent(event);
    }
  }
};

QLabel* smallLabel(const char* text, Qt::Alignment alignment) {
  auto* label = new QLabel(QtText::literal(text));
  label->setAlignment(alignment | Qt::AlignVCenter);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * 0.85);
  label->setFont(font);
  PaletteInk::makeSecondary(label);
  return label;
}

QHBoxLayout* layoutOf(QWidget* row) { return static_cast<QHBoxLayout*>(row->layout()); }

}  // namespace

ControlRow::ControlRow(int height, const QString& name) {
  setFixedHeight(height);
  setMinimumWidth(ControlRows::kMinimumWidth);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setAccessibleName(name);
  auto* layout = new QHBoxLayout(this);
  layout->setSpacing(2);
  setInsets(14, 14);
}

void ControlRow::setFocusTarget(std::function<QWidget*()> target) { focusTarget_ = std::move(target); }

void ControlRow::setInsets(int left, int right) { layout()->setContentsMargins(left, 0, right, 0); }

bool ControlRow::focusControl(Qt::FocusReason reason) {
  QWidget* target = focusTarget_ ? focusTarget_() : nullptr;
  if (target) target->setFocus(reason);
  return target != nullptr;
}

ControlRows::ControlRows(MenuActions& actions, QObject* parent)
    : QObject(parent),
      actions_(actions),
      powerRow_(buildPowerRow()),
      statusRow_(buildStatusRow()),
      modeRow_(buildModeRow()),
      sliderRow_(buildSliderRow()),
      presetRow_(buildPresetRow()) {}

ControlRows::~ControlRows() = default;

ControlRow* ControlRows::buildPowerRow() {
  auto* row = new ControlRow(32, QString::fromUtf8(MenuTexts::kLogoLight));
  auto* label = new QLabel(QtText::literal(MenuTexts::kLogoLight));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  powerSwitch_ = new GreenSwitch;
  powerSwitch_->setAccessibleName(QString::fromUtf8(MenuTexts::kLogoLight));
  powerSwitch_->setOnChange([this](bool on) { actions_.switchFlipped(on); });
  label->setBuddy(powerSwitch_);
  layoutOf(row)->addWidget(label, 1);
  layoutOf(row)->addWidget(powerSwitch_);
  row->setFocusTarget([this] { return powerSwitch_; });
  return row;
}

ControlRow* ControlRows::buildStatusRow() {
  auto* row = new ControlRow(20, QString());
  statusLine_ = new QLabel;
  statusLine_->setTextFormat(Qt::PlainText);
  PaletteInk::makeSecondary(statusLine_);
  layoutOf(row)->addWidget(statusLine_, 1);
  return row;
}

ControlRow* ControlRows::buildModeRow() {
  auto* row = new ControlRow(30, QString::fromUtf8(MenuTexts::kModeAccessibleName));
  modeGroup_ = new QButtonGroup(row);
  int id = 0;
  for (auto [title, tip] : {std::pair{MenuTexts::kAutomatic, MenuTexts::kAutomaticToolTip},
                            std::pair{MenuTexts::kFixed, MenuTexts::kFixedToolTip}}) {
    auto* segment = new ModeSegment(QtText::literal(title));
    segment->setToolTip(QString::fromUtf8(tip));
    segment->setFocusPolicy(Qt::StrongFocus);
    modeGroup_->addButton(segment, id++);
    layoutOf(row)->addWidget(segment, 1);
  }
  connect(modeGroup_, &QButtonGroup::idClicked, this, [this](int id) { actions_.modeChosen(id); });
  row->setFocusTarget([this] {
    QAbstractButton* chosen = modeGroup_->checkedButton();
    return chosen ? chosen : modeGroup_->button(0);
  });
  return row;
}

ControlRow* ControlRows::buildSliderRow() {
  auto* row = new ControlRow(30, QString::fromUtf8(MenuTexts::kSliderAccessibleName));
  slider_ = new NitsSlider;
  slider_->setAccessibleName(QString::fromUtf8(MenuTexts::kSliderAccessibleName));
  layoutOf(row)->setSpacing(6);
  layoutOf(row)->addWidget(smallLabel(MenuTexts::kDim, Qt::AlignLeft));
  layoutOf(row)->addWidget(slider_, 1);
  layoutOf(row)->addWidget(smallLabel(MenuTexts::kBright, Qt::AlignRight));
  connect(slider_, &QSlider::valueChanged, this, [this](int value) {
    double position = double(value) / NitsSlider::kSteps;
    showSliderAt(SliderScale::nits(position), QString::fromStdString(actions_.sliderMoved(position)));
  });
  slider_->setOnNitsChosen([this](double nits) {
    QString text = QString::fromStdString(actions_.sliderMoved(SliderScale::position(nits)));
    QSignalBlocker quiet(slider_);
    slider_->setValue(int(std::lround(SliderScale::position(nits) * NitsSlider::kSteps)));
    showSliderAt(nits, text);
  });
  row->setFocusTarget([this] { return slider_; });
  return row;
}

ControlRow* ControlRows::buildPresetRow() {
  auto* row = new ControlRow(26, QString::fromUtf8(MenuTexts::kPresetsAccessibleName));
  presetGroup_ = new QButtonGroup(row);
  int id = 0;
  for (const auto& preset : MenuTexts::kPresets) {
    auto* button = new PresetButton(QtText::literal(preset.title));
    button->setToolTip(QString::fromStdString(MenuTexts::presetToolTip(preset)));
    button->setFocusPolicy(Qt::StrongFocus);
    presetGroup_->addButton(button, id++);
    layoutOf(row)->addWidget(button, 1);
  }
  connect(presetGroup_, &QButtonGroup::idClicked, this, [this](int id) { actions_.presetChosen(id); });
  row->setFocusTarget([this] { return presetGroup_->button(0); });
  return row;
}

void ControlRows::align(int left, int right) {
  for (ControlRow* row : {powerRow_, statusRow_, modeRow_, sliderRow_, presetRow_})
    row->setInsets(left, right);
}

void ControlRows::selectMode(int segment) {
  // An exclusive group cannot show "nothing selected" (launch on a machine without the logo).
  modeGroup_->setExclusive(false);
  for (auto* button : modeGroup_->buttons()) {
    button->setAutoExclusive(false);
    button->setChecked(modeGroup_->id(button) == segment);
    button->setAutoExclusive(true);
  }
  modeGroup_->setExclusive(true);
}

void ControlRows::showSliderAt(double nits, const QString& text) {
  // Until the pause applies the change, the rows show what the move stored.
  slider_->setNits(nits);
  powerSwitch_->setOn(true);
  selectMode(1);
  slider_->setToolTip(text);
  slider_->setAccessibleDescription(text);
}

void ControlRows::render(const MenuState& state) {
  for (QWidget* control : std::initializer_list<QWidget*>{powerSwitch_, modeRow_, slider_, presetRow_})
    control->setEnabled(state.available);
  statusLine_->setText(QString::fromStdString(state.statusLine));
  powerSwitch_->setOn(state.switchOn);
  selectMode(state.modeSegment);
  // A refresh while the user holds the slider leaves the knob under the pointer.
  if (!slider_->isSliderDown()) {
    QSignalBlocker quiet(slider_);
    slider_->setValue(static_cast<int>(std::lround(state.sliderPosition * NitsSlider::kSteps)));
    slider_->setNits(state.sliderNits);
  }
  QString valueText = QString::fromStdString(state.sliderValueText);
  slider_->setToolTip(valueText);
  slider_->setAccessibleDescription(valueText);
}
