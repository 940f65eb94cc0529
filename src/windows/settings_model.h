// Everything the settings window shows, read from the real sources (preferences, login item,
// updater, command link, Claude Code hooks, attention signal), and every change it can make: each
// writes the source first, lets the running application act, then reads everything again.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "app/app_delegate.h"
#include "maintenance/command_links.h"
#include "platform/interfaces/platform.h"
#include "prefs/prefs.h"
#include "windows/settings_tab.h"
#include "windows/window_services.h"

struct SettingsValues {
  bool launchAtLogin = false;
  bool autoUpdate = false;
  Prefs::QuitBehavior quitBehavior = Prefs::QuitBehavior::restore;
  bool hotKeyEnabled = false;
  bool ignoreLimits = false;
  bool commandInstalled = false;
  std::optional<std::string> commandError;
  bool offWhenLocked = false;
  bool offInLowPowerMode = false;
  bool offOnBattery = false;
  int offBelowPercent = 0;
  bool offWithExternalDisplay = false;
  bool quietHoursEnabled = false;
  int quietHoursStartHour = 0;
  int quietHoursEndHour = 0;
  Prefs::QuietHoursAction quietHoursAction = Prefs::QuietHoursAction::off;
  std::vector<std::string> offAppBundleIDs;
  bool offAppsFrontmostOnly = false;
  Prefs::SignalStyle signalStyle = Prefs::SignalStyle::breathing;
  bool signalKeepDisplayOn = false;
  int signalTimeout = 10;
  bool isSignaling = false;
  bool claudeHookInstalled = false;
  std::optional<std::string> claudeHookError;
  bool copiedRunCommand = false;

  bool operator==(const SettingsValues&) const = default;
};

// One row of the chosen apps: what the app rule matches, and how the desktop shows the app.
struct AppRow {
  std::string id;
  std::string name;
  std::string icon;  // theme icon name or file; empty for the generic application icon
};

class SettingsModel {
 public:
  // The command link is looked for at its usual locations unless others are given.
  SettingsModel(AppDelegate& app, Platform& platform, WindowServices& services);
  SettingsModel(AppDelegate& app, Platform& platform, WindowServices& services,
                Maintenance::CommandLinkLocations linkLocations);
  ~SettingsModel();
  SettingsModel(const SettingsModel&) = delete;
  SettingsModel& operator=(const SettingsModel&) = delete;

  // Called after any value changed; an unchanged value calls nothing.
  std::function<void()> onChange;
  // Installed by the window: re-fit it for a tab, or for the current tab after the content grew or
  // shrank (quiet hours switched, apps added or removed).
  std::function<void(SettingsTab)> onTabChange;
  std::function<void()> onLayoutChange;

  const SettingsValues& values() const { return values_; }
  SettingsTab selectedTab() const { return selectedTab_; }
  // Sets the tab and tells `onTabChange` when it differs.
  void selectTab(SettingsTab tab);

  void reload();

  void setLaunchAtLogin(bool on);
  void setAutoUpdate(bool on);
  void setQuitBehavior(Prefs::QuitBehavior behavior);
  void setHotKeyEnabled(bool on);
  void setIgnoreLimits(bool on);
  void toggleCommandInstalled();
  void resetToApple();

  void setOffWhenLocked(bool on);
  void setOffInLowPowerMode(bool on);
  void setOffOnBattery(bool on);
  void setOffBelowPercent(int percent);
  void setOffWithExternalDisplay(bool on);
  void setQuietHoursEnabled(bool on);
  void setQuietHoursStartHour(int hour);
  void setQuietHoursEndHour(int hour);
  void setQuietHoursAction(Prefs::QuietHoursAction action);
  // Appends the chosen desktop file ids in order, skipping empty ones and ones already listed.
  // Choosing nothing changes nothing.
  void addApps(const std::vector<std::string>& ids);
  void removeApp(const std::string& id);
  void setOffAppsFrontmostOnly(bool on);
  std::vector<AppRow> appRows();

  void setSignalStyle(Prefs::SignalStyle style);
  void setSignalKeepDisplayOn(bool on);
  void setSignalTimeout(int minutes);
  void toggleTestSignal();
  void setClaudeHook(bool installed);
  void copyRunCommand();

 private:
  SettingsValues read() const;
  void assign(const SettingsValues& next);
  // Changes the key through the application's commands (stored, written out for the tool, then
  // applied), then reads everything again.
  template <typename T>
  void writeAndApply(TypedPrefKey<T> key, const std::type_identity_t<T>& value) {
    app_.commands().set(key, value);
    reload();
  }

  AppDelegate& app_;
  Platform& platform_;
  WindowServices& services_;
  Prefs prefs_;
  Maintenance::CommandLinkLocations linkLocations_;
  SettingsTab selectedTab_ = SettingsTab::general;
  SettingsValues values_;
  // The delayed reset of "Copied" holds this weakly, so it does nothing once the model is gone.
  std::shared_ptr<char> aliveToken_ = std::make_shared<char>();
};
