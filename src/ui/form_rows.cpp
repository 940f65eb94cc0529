#include "ui/form_rows.h"

#include <QHBoxLayout>
#include <QPalette>

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
  // "&" would mark a keyboard mnemonic; the titles mean it literally ("Startup & Updates").
  auto* box = new QGroupBox(QString(title).replace(QLatin1Char('&'), QStringLiteral("&&")), parent);
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
    subtitleLabel->setForegroundRole(QPalette::PlaceholderText);
    texts->addWidget(subtitleLabel);
  }
  layout->addLayout(texts, 1);
  if (control) {
    layout->addWidget(control, 0, Qt::AlignRight | Qt::AlignVCenter);
    if (control->accessibleName().isEmpty()) control->setAccessibleName(title);
    titleLabel->setBuddy(control);
  }
  return widget;
}

QCheckBox* toggle(const QString& title) {
  auto* box = new QCheckBox;
  box->setAccessibleName(title);
  return box;
}

QComboBox* picker(std::initializer_list<std::pair<QString, int>> choices) {
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
  line->hide();
  return line;
}

void showError(QLabel* line, const QString& error) {
  line->setText(error);
  line->setVisible(!error.isEmpty());
}

}  // namespace FormRows
