// What the shells' hooks report after a long command (`halomark shell-done`): the name of the
// command a line started with, whether it is interactive by nature, and the signal that tells how
// it ended, in the words `run` uses.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace FinishedCommand {

// Commands a person works in rather than waits for: editors, pagers, shells, remote logins,
// multiplexers, manuals and system monitors, and Halomark itself. They never signal; a shell only
// while it is one a person types into (no command or script given to it).
const std::set<std::string>& defaultInteractive();

// The names in a list the user gives (separated by spaces, commas or colons).
std::set<std::string> namesIn(const std::string& list);

// The words of the first command of a command line, quotes and escapes taken away, after leading
// variable assignments and grouping; empty for a line with no command.
std::vector<std::string> firstCommand(const std::string& line);

// Its name as `run` takes a command's name: the last path component of its first word.
std::optional<std::string> firstCommandName(const std::string& line);

// Whether the command (its words) is interactive by nature, or named in `extra`.
bool isInteractive(const std::vector<std::string>& words, const std::set<std::string>& extra);

// `shell-done --status N [--window ID] [--interactive LIST] -- LINE...`: starts the attention
// signal with the outcome's message, unless the command is interactive, the user interrupted or
// stopped it, or its terminal window has the focus.
int report(const std::vector<std::string>& arguments, CliContext& context);

}  // namespace FinishedCommand
