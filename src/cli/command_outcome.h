// How a finished command is told in its attention signal ("Done: make", "Failed (2): make"): one
// wording for `run` and for the shells' hooks.
#pragma once

#include <string>

namespace CommandOutcome {

// The last path component, as a user reads a command's name ("make" for "/usr/bin/make").
std::string lastPathComponent(const std::string& path);

// "Done: " + name for status 0, else "Failed (" + status + "): " + name; `commandName` as typed.
std::string message(int status, const std::string& commandName);

}  // namespace CommandOutcome
