#include "windows/settings_tab.h"

std::string rawValue(SettingsTab tab) {
  switch (tab) {
    case SettingsTab::automation: return "automation";
    case SettingsTab::signals: return "signals";
    case SettingsTab::general: break;
  }
  return "general";
}

std::string title(SettingsTab tab) {
  switch (tab) {
    case SettingsTab::automation: return "Automation";
    case SettingsTab::signals: return "Signals";
    case SettingsTab::general: break;
  }
  return "General";
}

std::string toolbarID(SettingsTab tab) { return "halomark.settings." + rawValue(tab); }

std::optional<SettingsTab> tabForToolbarID(const std::string& identifier) {
  for (auto tab : kSettingsTabs) {
    if (toolbarID(tab) == identifier) return tab;
  }
  return std::nullopt;
}
