#include "ui/desktop_feedback_qt.h"

#include <QApplication>
#include <QClipboard>

void QtClipboard::setText(const std::string& text) {
  auto* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(QString::fromStdString(text));
}

void QtAlertSound::beep() { QApplication::beep(); }
