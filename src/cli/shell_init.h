// `halomark shell-init bash|zsh|fish [--after SECONDS]`: the snippet a shell's start-up file
// evaluates so that every interactive command that ran at least that long reports its end
// (`halomark shell-done`). Under the threshold a prompt costs the shell's own arithmetic only: no
// process is started.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace ShellInit {

inline constexpr double kDefaultAfterSeconds = 10;

// The snippet for `shell` ("bash", "zsh" or "fish"), calling the tool at `tool`; none for another
// shell.
std::optional<std::string> snippet(const std::string& shell, double afterSeconds, const std::string& tool);

int command(const std::vector<std::string>& arguments, CliContext& context);

}  // namespace ShellInit
