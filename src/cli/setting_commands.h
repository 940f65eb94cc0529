// The tool's commands that change the logo setting, and the commit that follows every change.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace CLI {

// Each takes the whole command line, the command's own name first, and returns the exit status.
int turnOn(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context);
int turnOff(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context);
int toggle(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context);
int followDisplay(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context);
int setNits(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context);
int reset(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context);

// The number `set` was given, or none when it is not a finite number ("nits" in any case is
// ignored; nothing else may surround the number).
std::optional<double> parseNits(const std::string& text);

// After a change: makes it visible to other processes, tells the application (or starts it), gives
// it time to apply, and reports the result. Returns the exit status: 1 when the change could not be
// saved.
int commitSettingChange(Prefs& prefs, CliContext& context);

}  // namespace CLI
