// The logo's whole state as the tool tells it to programs: the stored, last on and effective
// settings, the rule in force and until when, the brightness now (or why there is none), the light
// driven, the application and its attention signal, and what could not be read. Gathered from one
// snapshot of the machine, as the text report is.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "automation/automation_rules.h"
#include "platform/interfaces/platform.h"
#include "prefs/prefs.h"

struct StatusReport {
  // How a rule in force ends, where it knows.
  struct Until {
    enum class Kind { localTime, powerConnected };
    Kind kind = Kind::localTime;
    std::string localTime;  // "07:00", for `localTime`
    bool operator==(const Until&) const = default;
  };
  struct Signal {
    bool active = false;
    std::optional<std::string> message;
    std::optional<std::string> style;  // the raw style
    bool operator==(const Signal&) const = default;
  };

  Setting stored;
  Setting lastOn;
  Setting effective;
  std::optional<Power::RuleOverride> rule;
  // Which rule it is: "locked", "lowPowerMode", "lowBattery", "onBattery", "externalDisplay",
  // "application" or "quietHours".
  std::string ruleSource;
  std::optional<Until> until;
  std::optional<double> logoNits;
  // Why the brightness cannot be read: "noLogoHardware" or "controlsMissing".
  std::optional<std::string> logoUnavailable;
  std::optional<DrivenLight> light;
  std::optional<std::string> accessProblem;
  bool appRunning = false;
  // None while the running application cannot be asked (no session bus).
  std::optional<Signal> signal;
  std::vector<std::string> problems;

  bool operator==(const StatusReport&) const = default;

  // What a panel shows of it: "on", "off", "held", "dimmed" or "signaling".
  std::string alt() const;
  // The one-line status the tray shows: the status sentence, or the running signal.
  std::string line() const;
};

namespace StatusReports {

// `appRunning` as the tool found it; `published`: the application's published state (none when it
// does not run or cannot be asked).
StatusReport gather(Prefs& prefs, Platform& platform, bool appRunning,
                    const std::optional<PlistDictionary>& published);

}  // namespace StatusReports
