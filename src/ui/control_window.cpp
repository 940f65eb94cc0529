#include "ui/control_window.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/control_rows.h"

ControlWindow::ControlWindow(MenuActions& actions, QWidget* parent)
    : QWidget(parent, Qt::Window), rows_(new ControlRows(actions, this)), statusLine_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Halomark"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 8, 0, 8);
  layout->setSpacing(2);
  auto rows = rows_->rows();
  layout->addWidget(rows[0]);
  statusLine_->setContentsMargins(14, 0, 14, 4);
  statusLine_->setForegroundRole(QPalette::PlaceholderText);
  layout->addWidget(statusLine_);
  for (std::size_t i = 1; i < rows.size(); ++i) layout->addWidget(rows[i]);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ControlWindow::render(const MenuState& state) {
  rows_->render(state);
  statusLine_->setText(QString::fromStdString(state.statusLine));
}
