// The settings window's uninstall: asks first, uninstalls, reports what was left, then quits.
#pragma once

#include <QMessageBox>
#include <QWidget>

#include "app/app_delegate.h"
#include "platform/interfaces/alert_sound.h"
#include "platform/interfaces/platform.h"

namespace UninstallDialog {

// An alert whose title is its heading, the text under it: without a window manager the title bar
// that would show the title is not there.
void setAlertTexts(QMessageBox& alert, const QString& title, const QString& text);

// Without the application's bundle it only sounds the alert.
void confirmUninstall(AppDelegate& app, Platform& platform, AlertSound& alertSound, QWidget* parent);

}  // namespace UninstallDialog
