// The one-line sentence that tells the user what the logo is doing now and why: the menu's status
// line, and the status item's label while no attention signal runs.
#pragma once

#include <optional>
#include <string>

#include "automation/automation_rules.h"
#include "prefs/setting.h"

class AppDelegate;
struct Platform;

namespace StatusText {

// From its inputs: the stored setting, the rule that holds or dims the logo now (if any), the
// effective setting and the brightness the logo reports (none when it cannot be read).
std::string compose(const Setting& stored, const std::optional<Power::RuleOverride>& rule,
                    const Setting& effective, std::optional<double> logoNits);

// Computed afresh from the delegate's preferences, a new system snapshot and the logo's read-back.
std::string current(AppDelegate& delegate, Platform& platform);

}  // namespace StatusText
