#include "automation/automation_rules.h"

#include <vector>

namespace Power {

namespace {

std::optional<RuleOverride> batteryRule(const Prefs& prefs, const State& state) {
  long long threshold = prefs.value(PrefKeys::offBelowPercent);
  // The logo goes off at the threshold itself, and only on battery.
  if (threshold >= 1 && state.onBattery && state.percent && threshold >= *state.percent) {
    return RuleOverride::off("battery at " + std::to_string(*state.percent) + "%");
  }
  if (prefs.value(PrefKeys::offOnBattery) && state.onBattery) return RuleOverride::off("on battery");
  return std::nullopt;
}

std::vector<std::string> watchedApplications(const Prefs& prefs) {
  return prefs.value(PrefKeys::offAppBundleIDs);
}

std::optional<RuleOverride> applicationRule(const Prefs& prefs, const State& state, Platform& platform) {
  auto watched = watchedApplications(prefs);
  if (watched.empty()) return std::nullopt;
  if (prefs.value(PrefKeys::offAppsFrontmostOnly)) {
    if (!state.frontmostBundleID) return std::nullopt;
    const std::string& front = *state.frontmostBundleID;
    for (const auto& id : watched) {
      if (id != front) continue;
      auto running = state.runningApps.find(id);
      std::string name = running != state.runningApps.end() ? running->second : appDisplayName(id, platform);
      return RuleOverride::off(name + " is active");
    }
    return std::nullopt;
  }
  // The stored order, not the launch order, decides between several running applications.
  for (const auto& id : watched) {
    auto running = state.runningApps.find(id);
    if (running != state.runningApps.end()) return RuleOverride::off(running->second + " is open");
  }
  return std::nullopt;
}

std::optional<RuleOverride> quietHoursRule(const Prefs& prefs, double now, Clock& clock) {
  if (!prefs.value(PrefKeys::quietHoursEnabled)) return std::nullopt;
  if (!isInQuietHours(prefs.quietHoursStartHour(), prefs.quietHoursEndHour(), now, clock)) {
    return std::nullopt;
  }
  if (prefs.quietHoursAction() == Prefs::QuietHoursAction::dim) {
    return RuleOverride::dim(kQuietHoursDimNits, "Quiet Hours");
  }
  return RuleOverride::off("Quiet Hours");
}

}  // namespace

std::optional<RuleOverride> activeOverride(const Prefs& prefs, const State& state, double now,
                                           Platform& platform) {
  if (prefs.offWhenLocked() && state.screenLocked) return RuleOverride::off("Mac is locked");
  if (prefs.offInLowPowerMode() && state.lowPowerMode) return RuleOverride::off("Low Power Mode");
  if (auto battery = batteryRule(prefs, state)) return battery;
  if (prefs.value(PrefKeys::offWithExternalDisplay) && state.externalDisplayConnected) {
    return RuleOverride::off("external display");
  }
  if (auto application = applicationRule(prefs, state, platform)) return application;
  return quietHoursRule(prefs, now, platform.clock);
}

bool watchesApplications(const Prefs& prefs) { return !watchedApplications(prefs).empty(); }

bool isInQuietHours(int startHour, int endHour, double now, Clock& clock) {
  if (startHour == endHour) return false;
  int hour = clock.localHour(now);
  if (startHour < endHour) return startHour <= hour && hour < endHour;
  return hour >= startHour || hour < endHour;
}

Outlook outlook(Prefs& prefs, Platform& platform) {
  Outlook outlook{prefs.setting(), std::nullopt, prefs.setting()};
  if (outlook.stored.isOff()) return outlook;
  State state = current(platform, watchesApplications(prefs));
  outlook.rule = activeOverride(prefs, state, platform.clock.now(), platform);
  if (outlook.rule) {
    outlook.effective =
        outlook.rule->kind == RuleOverride::Kind::dim ? Setting::fixed(outlook.rule->nits) : Setting::off();
  }
  return outlook;
}

Setting effectiveSetting(Prefs& prefs, Platform& platform) { return outlook(prefs, platform).effective; }

}  // namespace Power
