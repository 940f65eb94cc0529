// The one-line sentence that tells the user what the logo is doing now and why: the menu's status
// line, and the status item's label while no attention signal runs.
#pragma once

#include <optional>
#include <string>

#include "automation/automation_rules.h"
#include "prefs/setting.h"

namespace StatusText {

// From its inputs: the stored setting, the rule that holds or dims the logo now (if any), the
// effective setting and the brightness the logo reports (none when it cannot be read).
std::string compose(const Setting& stored, const std::optional<Power::RuleOverride>& rule,
                    const Setting& effective, std::optional<double> logoNits);

// The same from one snapshot's outlook.
std::string compose(const Power::Outlook& outlook, std::optional<double> logoNits);

}  // namespace StatusText
