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

// After a change went through the tool's commands (stored, synchronised, the application told or
// started): gives the application time to apply and reports the result. A change that could not be
// saved is said so at once; the exit status is 1 and the report shows what still holds.
int reportChange(bool saved, Prefs& prefs, CliContext& context);

}  // namespace CLI
