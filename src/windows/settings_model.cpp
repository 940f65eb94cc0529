#include "windows/settings_model.h"

#include <algorithm>
#include <exception>

#include "automation/power_state.h"
#include "hooks/claude_hook.h"
#include "maintenance/bundle.h"
#include "maintenance/command_links.h"
#include "windows/login_item.h"

namespace {

constexpr double kCopiedSeconds = 1.8;
const std::string kRunCommand = "halomark run -- ";
const std::string kTestMessage = "Test";

int clampedHour(int hour) { return std::clamp(hour, 0, 23); }

}  // namespace

SettingsModel::SettingsModel(AppDelegate& app, Platform& platform, WindowServices& services)
    : SettingsModel(app, platform, services,
                    Maintenance::commandLinkLocations(platform.process.homeDirectory())) {}

SettingsModel::SettingsModel(AppDelegate& app, Platform& platform, WindowServices& services,
                             Maintenance::CommandLinkLocations linkLocations)
    : app_(app),
      platform_(platform),
      services_(services),
      prefs_(platform.preferences),
      linkLocations_(std::move(linkLocations)) {
  values_ = read();
}

SettingsModel::~SettingsModel() = default;

void SettingsModel::selectTab(SettingsTab tab) {
  if (tab == selectedTab_) return;
  selectedTab_ = tab;
  if (onTabChange) onTabChange(tab);
}

SettingsValues SettingsModel::read() const {
  SettingsValues next = values_;
  next.launchAtLogin = platform_.loginItems.isEnabled();
  next.autoUpdate = services_.updater.automaticallyChecksForUpdates();
  next.quitBehavior = prefs_.quitBehavior();
  next.hotKeyEnabled = prefs_.hotKeyEnabled();
  next.ignoreLimits = prefs_.ignoreLimits();
  auto bundle = Maintenance::appBundleURL(platform_);
  next.commandInstalled = bundle && Maintenance::isCommandInstalled(*bundle, linkLocations_);
  next.offWhenLocked = prefs_.offWhenLocked();
  next.offInLowPowerMode = prefs_.offInLowPowerMode();
  next.offOnBattery = prefs_.value(PrefKeys::offOnBattery);
  // Any value outside 0...100 matches no choice; held within int's range it still matches none.
  next.offBelowPercent =
      static_cast<int>(std::clamp<long long>(prefs_.value(PrefKeys::offBelowPercent), -1, 101));
  next.offWithExternalDisplay = prefs_.value(PrefKeys::offWithExternalDisplay);
  next.quietHoursEnabled = prefs_.value(PrefKeys::quietHoursEnabled);
  next.quietHoursStartHour = prefs_.quietHoursStartHour();
  next.quietHoursEndHour = prefs_.quietHoursEndHour();
  next.quietHoursAction = prefs_.quietHoursAction();
  next.offAppBundleIDs = prefs_.value(PrefKeys::offAppBundleIDs);
  next.offAppsFrontmostOnly = prefs_.value(PrefKeys::offAppsFrontmostOnly);
  next.signalStyle = prefs_.signalStyle();
  next.signalKeepDisplayOn = prefs_.signalKeepDisplayOn();
  // Below one minute reads as the default of ten; a stored value too large for the control is held
  // within its range (it matches no choice either way).
  next.signalTimeout =
      static_cast<int>(std::min<long long>(prefs_.value(PrefKeys::signalTimeoutMinutes), 1'000'000));
  next.isSignaling = app_.isSignaling();
  next.claudeHookInstalled = ClaudeHook::isInstalled(platform_.process.homeDirectory());
  return next;
}

void SettingsModel::assign(const SettingsValues& next) {
  if (next == values_) return;
  values_ = next;
  if (onChange) onChange();
}

void SettingsModel::reload() { assign(read()); }

// --- General ------------------------------------------------------------------------------------

void SettingsModel::setLaunchAtLogin(bool on) {
  if (!changeLoginItem(platform_, on)) services_.alertSound.beep();
  reload();
}

void SettingsModel::setAutoUpdate(bool on) {
  services_.updater.setAutomaticallyChecksForUpdates(on);
  reload();
}

void SettingsModel::setQuitBehavior(Prefs::QuitBehavior behavior) {
  // Only the next quit reads it: nothing to apply now.
  prefs_.set(PrefKeys::quitBehavior, Prefs::rawValue(behavior));
  reload();
}

void SettingsModel::setHotKeyEnabled(bool on) {
  prefs_.set(PrefKeys::hotKeyEnabled, on);
  if (services_.updateHotKey) services_.updateHotKey();
  reload();
}

void SettingsModel::setIgnoreLimits(bool on) { writeAndApply(PrefKeys::ignoreLimits, on); }

void SettingsModel::toggleCommandInstalled() {
  auto bundle = Maintenance::appBundleURL(platform_);
  if (!bundle) return;
  auto error = Maintenance::setCommandInstalled(!values_.commandInstalled, *bundle, linkLocations_,
                                                platform_.privilegedShell);
  SettingsValues next = values_;
  next.commandError = error;
  assign(next);
  reload();
}

void SettingsModel::resetToApple() {
  app_.resetToApple();
  reload();
}

// --- Automation ---------------------------------------------------------------------------------

void SettingsModel::setOffWhenLocked(bool on) { writeAndApply(PrefKeys::offWhenLocked, on); }
void SettingsModel::setOffInLowPowerMode(bool on) { writeAndApply(PrefKeys::offInLowPowerMode, on); }
void SettingsModel::setOffOnBattery(bool on) { writeAndApply(PrefKeys::offOnBattery, on); }
void SettingsModel::setOffBelowPercent(int percent) { writeAndApply(PrefKeys::offBelowPercent, percent); }
void SettingsModel::setOffWithExternalDisplay(bool on) {
  writeAndApply(PrefKeys::offWithExternalDisplay, on);
}
void SettingsModel::setOffAppsFrontmostOnly(bool on) { writeAndApply(PrefKeys::offAppsFrontmostOnly, on); }

void SettingsModel::setQuietHoursEnabled(bool on) {
  writeAndApply(PrefKeys::quietHoursEnabled, on);
  if (onLayoutChange) onLayoutChange();
}

void SettingsModel::setQuietHoursStartHour(int hour) {
  writeAndApply(PrefKeys::quietHoursStartHour, clampedHour(hour));
}
void SettingsModel::setQuietHoursEndHour(int hour) {
  writeAndApply(PrefKeys::quietHoursEndHour, clampedHour(hour));
}

void SettingsModel::setQuietHoursAction(Prefs::QuietHoursAction action) {
  writeAndApply(PrefKeys::quietHoursAction, Prefs::rawValue(action));
}

void SettingsModel::addApps(const std::vector<std::string>& ids) {
  if (ids.empty()) return;
  auto list = prefs_.value(PrefKeys::offAppBundleIDs);
  for (const auto& id : ids) {
    if (id.empty() || std::find(list.begin(), list.end(), id) != list.end()) continue;
    list.push_back(id);
  }
  writeAndApply(PrefKeys::offAppBundleIDs, list);
  if (onLayoutChange) onLayoutChange();
}

void SettingsModel::removeApp(const std::string& id) {
  auto list = prefs_.value(PrefKeys::offAppBundleIDs);
  std::erase(list, id);
  writeAndApply(PrefKeys::offAppBundleIDs, list);
  if (onLayoutChange) onLayoutChange();
}

std::vector<AppRow> SettingsModel::appRows() {
  std::vector<AppRow> rows;
  for (const auto& id : values_.offAppBundleIDs) {
    auto installed = services_.installedApps.find(id);
    rows.push_back({id, Power::appDisplayName(id, platform_), installed ? installed->icon : std::string()});
  }
  return rows;
}

// --- Signals ------------------------------------------------------------------------------------

void SettingsModel::setSignalStyle(Prefs::SignalStyle style) {
  prefs_.set(PrefKeys::signalStyle, Prefs::rawValue(style));
  SettingsValues next = values_;
  next.signalStyle = style;
  assign(next);
  // A running signal switches at once, so the user sees the style chosen.
  if (app_.isSignaling()) app_.requestSignal({SignalRequest::Action::start, kTestMessage, style});
}

void SettingsModel::setSignalKeepDisplayOn(bool on) {
  prefs_.set(PrefKeys::signalKeepDisplayOn, on);
  SettingsValues next = values_;
  next.signalKeepDisplayOn = on;
  assign(next);
}

void SettingsModel::setSignalTimeout(int minutes) {
  prefs_.set(PrefKeys::signalTimeoutMinutes, minutes);
  SettingsValues next = values_;
  next.signalTimeout = minutes;
  assign(next);
}

void SettingsModel::toggleTestSignal() {
  if (app_.isSignaling()) {
    app_.requestSignal({SignalRequest::Action::stop, std::nullopt, std::nullopt});
  } else {
    app_.requestSignal({SignalRequest::Action::start, kTestMessage, values_.signalStyle});
  }
  reload();
}

void SettingsModel::setClaudeHook(bool installed) {
  std::string home = platform_.process.homeDirectory();
  SettingsValues next = values_;
  next.claudeHookError.reset();
  try {
    if (installed) {
      if (auto bundle = Maintenance::appBundleURL(platform_))
        ClaudeHook::install(*bundle, platform_.files, home);
    } else {
      ClaudeHook::remove(platform_.files, home);
    }
  } catch (const std::exception& failure) {
    next.claudeHookError = failure.what();
  }
  next.claudeHookInstalled = ClaudeHook::isInstalled(home);
  assign(next);
}

void SettingsModel::copyRunCommand() {
  services_.clipboard.setText(kRunCommand);
  SettingsValues next = values_;
  next.copiedRunCommand = true;
  assign(next);
  platform_.scheduler.after(kCopiedSeconds, [this, alive = std::weak_ptr<char>(aliveToken_)] {
    if (alive.expired()) return;
    SettingsValues reset = values_;
    reset.copiedRunCommand = false;
    assign(reset);
  });
}
