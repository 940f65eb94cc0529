#include "ui/form_rows.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPalette>

#include "ui/combo_accessible.h"
#include "ui/palette_ink.h"
#include "ui/qt_text.h"
#include "ui/toggle_switch.h"

namespace FormRows {

namespace {

// Slightly smaller than the body text, as a secondary line.
QFont smallerFont(const QFont& base) {
  QFont font = base;
  if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * 0.87);
  return font;
}

}  // namespace

QGroupBox* section(const QString& title, QWidget* parent) {
  auto* box = new QGroupBox(QtText::literal(title), parent);
  auto* rows = new QVBoxLayout(box);
  rows->setSpacing(8);
  return box;
}

QVBoxLayout* rowsOf(QGroupBox* section) { return static_cast<QVBoxLayout*>(section->layout()); }

QWidget* row(const QString& title, const QString& subtitle, QWidget* control) {
  auto* widget = new QWidget;
  auto* layout = new QHBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* texts = new QVBoxLayout;
  texts->setSpacing(1);
  auto* titleLabel = new QLabel(title);
  titleLabel->setWordWrap(true);
  texts->addWidget(titleLabel);
  if (!subtitle.isEmpty()) {
    auto* subtitleLabel = new QLabel(subtitle);
    subtitleLabel->setWordWrap(true);
    subtitleLabel->setFont(smallerFont(subtitleLabel->font()));
    PaletteInk::makeSecondary(subtitleLabel);
    texts->addWidget(subtitleLabel);
  }
  layout->addLayout(texts, 1);
  if (control) {
    layout->addWidget(control, 0, Qt::AlignRight | Qt::AlignVCenter);
    // A button is found by what it says ("Set Up"); the row's title tells what it is for. Other
    // controls show a value, not a name, and are named by the row.
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (button && !qobject_cast<QCheckBox*>(button)) {
      control->setAccessibleDescription(title);
    } else if (control->accessibleName().isEmpty()) {
      control->setAccessibleName(title);
    }
    // With a buddy an "&" marks a mnemonic; the titles mean it literally.
    titleLabel->setText(QtText::literal(title));
    titleLabel->setBuddy(control);
  }
  return widget;
}

QCheckBox* toggle(const QString& title) {
  auto* box = new ToggleSwitch;
  box->setAccessibleName(title);
  return box;
}

QComboBox* picker(std::initializer_list<std::pair<QString, int>> choices) {
  ComboAccessible::install();
  auto* combo = new QComboBox;
  for (const auto& [text, value] : choices) combo->addItem(text, value);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return combo;
}

void select(QComboBox* picker, int value) { picker->setCurrentIndex(picker->findData(value)); }

QLabel* errorLine() {
  auto* line = new QLabel;
  line->setWordWrap(true);
  line->setFont(smallerFont(line->font()));
  QPalette palette = line->palette();
  palette.setColor(QPalette::WindowText, QColor(0xd7, 0x00, 0x15));
  line->setPalette(palette);
  line->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // Selectable for copying, but not a stop of its own for the keyboard or a screen reader.
  line->setFocusPolicy(Qt::NoFocus);
  line->hide();
  return line;
}

void showError(QLabel* line, const QString& error) {
  line->setText(error);
  line->setVisible(!error.isEmpty());
}

}  // namespace FormRows
