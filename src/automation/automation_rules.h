// The automation rules that hold the logo off or dim it, the quiet-hours window, and the folding
// of the rules into the setting the logo should show now.
#pragma once

#include <optional>
#include <string>

#include "automation/power_state.h"
#include "prefs/prefs.h"
#include "prefs/setting.h"

namespace Power {

// Brightness that quiet hours dim the logo to.
inline constexpr double kQuietHoursDimNits = 25;

struct RuleOverride {
  enum class Kind { off, dim };
  Kind kind = Kind::off;
  double nits = 0;  // meaningful for `dim` only
  std::string reason;

  static RuleOverride off(std::string reason) { return {Kind::off, 0, std::move(reason)}; }
  static RuleOverride dim(double nits, std::string reason) { return {Kind::dim, nits, std::move(reason)}; }
  bool operator==(const RuleOverride& other) const = default;
};

// The first rule that fires, in a fixed order; none when no rule applies. `platform` supplies
// the local hour and the names of installed applications.
std::optional<RuleOverride> activeOverride(const Prefs& prefs, const State& state, double now,
                                           Platform& platform);

// Whether a rule looks at the running applications, so a snapshot needs them.
bool watchesApplications(const Prefs& prefs);

// Whole hours in the user's time zone; the window may wrap past midnight; start == end is empty.
bool isInQuietHours(int startHour, int endHour, double now, Clock& clock);

// What the rules make of the stored setting now, from one snapshot of the machine.
struct Outlook {
  Setting stored;
  // The rule that holds the logo off or dims it; none while the stored setting is off.
  std::optional<RuleOverride> rule;
  // The stored setting folded with the rule: what the logo should show.
  Setting effective;
};
// A stored `off` returns at once without sampling.
Outlook outlook(Prefs& prefs, Platform& platform);

// The stored setting folded with the rules.
Setting effectiveSetting(Prefs& prefs, Platform& platform);

}  // namespace Power
