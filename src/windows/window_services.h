// What the settings and welcome windows reach beyond the platform: the updater, the clipboard, the
// alert sound, the installed applications, and the application's hot key.
#pragma once

#include <functional>

#include "platform/interfaces/alert_sound.h"
#include "platform/interfaces/clipboard.h"
#include "platform/interfaces/installed_applications.h"
#include "updates/updater.h"

struct WindowServices {
  Updater& updater;
  Clipboard& clipboard;
  AlertSound& alertSound;
  InstalledApplications& installedApps;
  // Makes the application's global hot key follow the stored "hotKeyEnabled" flag.
  std::function<void()> updateHotKey;
};
