// The settings window's uninstall: asks first, uninstalls, reports what was left, then quits.
#pragma once

#include <QWidget>

#include "app/app_delegate.h"
#include "platform/interfaces/alert_sound.h"
#include "platform/interfaces/platform.h"

namespace UninstallDialog {

// Without the application's bundle it only sounds the alert.
void confirmUninstall(AppDelegate& app, Platform& platform, AlertSound& alertSound, QWidget* parent);

}  // namespace UninstallDialog
