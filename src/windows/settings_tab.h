// The settings window's three tabs, with their titles and toolbar identifiers.
#pragma once

#include <array>
#include <optional>
#include <string>

enum class SettingsTab { general, automation, signals };

inline constexpr std::array<SettingsTab, 3> kSettingsTabs = {SettingsTab::general, SettingsTab::automation,
                                                             SettingsTab::signals};

// "general", "automation", "signals".
std::string rawValue(SettingsTab tab);
// "General", "Automation", "Signals": the toolbar label and the window title.
std::string title(SettingsTab tab);
// "halomark.settings." + the raw value.
std::string toolbarID(SettingsTab tab);
// The first tab whose toolbar identifier is `identifier`; none for any other.
std::optional<SettingsTab> tabForToolbarID(const std::string& identifier);
