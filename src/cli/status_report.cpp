#include "cli/status_report.h"

#include "app/published_state.h"
#include "logo/logo_controller.h"
#include "menubar/status_text.h"
#include "formats/app_identifier.h"

namespace {

// The rules' reasons are a fixed vocabulary; an application's name comes with its own ending.
std::string sourceOf(const Power::RuleOverride& rule) {
  const std::string& reason = rule.reason;
  if (reason == "Mac is locked") return "locked";
  if (reason == "Low Power Mode") return "lowPowerMode";
  if (reason == "on battery") return "onBattery";
  if (reason == "external display") return "externalDisplay";
  if (reason == "Quiet Hours") return "quietHours";
  if (reason.ends_with(" is open") || reason.ends_with(" is active")) return "application";
  if (reason.starts_with("battery at ")) return "lowBattery";
  return "application";
}

std::string twoDigits(int number) { return (number < 10 ? "0" : "") + std::to_string(number); }

std::optional<StatusReport::Until> untilOf(const std::string& source, const Prefs& prefs) {
  using Until = StatusReport::Until;
  if (source == "quietHours")
    return Until{Until::Kind::localTime, twoDigits(prefs.quietHoursEndHour()) + ":00"};
  if (source == "onBattery" || source == "lowBattery") return Until{Until::Kind::powerConnected, {}};
  return std::nullopt;
}

std::optional<std::string> textMember(const PlistDictionary& dictionary, const char* name) {
  auto found = dictionary.find(name);
  if (found == dictionary.end() || !found->second.is_string()) return std::nullopt;
  auto text = found->second.get<std::string>();
  if (text.empty()) return std::nullopt;
  return text;
}

StatusReport::Signal signalOf(const PlistDictionary& published) {
  StatusReport::Signal signal;
  auto active = published.find(PublishedState::kSignaling);
  signal.active = active != published.end() && active->second.is_boolean() && active->second.get<bool>();
  if (signal.active) {
    signal.message = textMember(published, PublishedState::kSignalMessage);
    signal.style = textMember(published, PublishedState::kSignalStyle);
  }
  return signal;
}

}  // namespace

std::string StatusReport::alt() const {
  if (signal && signal->active) return "signaling";
  if (stored.isOff()) return "off";
  if (rule) return rule->kind == Power::RuleOverride::Kind::off ? "held" : "dimmed";
  return "on";
}

std::string StatusReport::line() const {
  if (signal && signal->active) return "Signaling" + (signal->message ? ": " + *signal->message : "");
  return StatusText::compose(stored, rule, effective, logoNits);
}

namespace StatusReports {

StatusReport gather(Prefs& prefs, Platform& platform, bool appRunning,
                    const std::optional<PlistDictionary>& published) {
  StatusReport report;
  if (auto problem = platform.preferences.problem(kAppIdentifier)) {
    report.problems.push_back("The settings can't be read (" + *problem + "); the defaults stand in.");
  }
  auto now = Power::outlook(prefs, platform);
  report.stored = now.stored;
  report.lastOn = prefs.lastOnSetting();
  report.effective = now.effective;
  report.rule = now.rule;
  if (now.rule) {
    report.ruleSource = sourceOf(*now.rule);
    report.until = untilOf(report.ruleSource, prefs);
  }
  LogoController logo(platform);
  report.logoNits = logo.stateValue("FinalNits");
  if (!report.logoNits) {
    report.logoUnavailable = platform.logoHardware.hasLogoBacklight() ? "controlsMissing" : "noLogoHardware";
  }
  report.light = platform.logoHardware.drivenLight();
  report.accessProblem = platform.logoHardware.accessAdvice();
  report.appRunning = appRunning || published.has_value();
  if (published) {
    report.signal = signalOf(*published);
  } else if (!appRunning) {
    report.signal = StatusReport::Signal{};
  } else {
    report.problems.push_back("Halomark runs, but can't be asked whether it signals (no session bus).");
  }
  return report;
}

}  // namespace StatusReports
