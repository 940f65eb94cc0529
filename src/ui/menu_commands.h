// Menu commands served by windows outside the menu itself (the update check, the settings
// window). The application fills in the ones it has; an empty one leaves its item disabled.
#pragma once

#include <functional>
#include <optional>
#include <string>

struct MenuCommands {
  std::function<void()> checkForUpdates;
  // `tab` none opens the settings window on its current (or first) tab; "automation" on the
  // automation tab.
  std::function<void(const std::optional<std::string>& tab)> showSettings;
  // Brings an open settings window up to date after the menu changed a preference.
  std::function<void()> reloadSettings;
};
