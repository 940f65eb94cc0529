#include "ui/control_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QShortcut>
#include <QVBoxLayout>

#include "ui/control_rows.h"

namespace {

// A plain top-level widget reads as a nameless "filler" to a screen reader; this is a window.
QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("ControlWindow") && object && object->isWidgetType())
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  return nullptr;
}

}  // namespace

ControlWindow::ControlWindow(MenuActions& actions, QWidget* parent)
    : QWidget(parent, Qt::Window), rows_(new ControlRows(actions, this)) {
  static const bool installed = (QAccessible::installFactory(accessibleFactory), true);
  (void)installed;
  setWindowTitle(QStringLiteral("Halomark"));
  // Like the popup it stands in for, it goes away with Escape.
  new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 8, 0, 8);
  layout->setSpacing(2);
  auto rows = rows_->rows();
  layout->addWidget(rows[0]);
  layout->addWidget(rows_->statusRow());
  for (std::size_t i = 1; i < rows.size(); ++i) layout->addWidget(rows[i]);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ControlWindow::render(const MenuState& state) { rows_->render(state); }
