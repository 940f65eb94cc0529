// The `halomark` command links: whether the standard one is installed, creating or removing it (with
// an administrator prompt when plain file operations are refused), and cleaning every link into a
// bundle. Only links that are Halomark's are ever replaced or deleted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/failure.h"
#include "platform/interfaces/privileged_shell.h"

namespace Maintenance {

// Where command links may lie.
struct CommandLinkLocations {
  // The only location a link is created at, and the only one whose state the settings show.
  std::string standard;
  // Every location that uninstalling cleans, in order.
  std::vector<std::string> cleaned;
};

// "/usr/local/bin/halomark", "/opt/homebrew/bin/halomark", then ".local/bin" and "bin" under home.
CommandLinkLocations commandLinkLocations(const std::string& homeDirectory);

// True when the standard link resolves to a file inside the bundle.
bool isCommandInstalled(const std::string& appBundle, const CommandLinkLocations& locations);

// Creates (`installed` true) or removes the standard link. Returns a message for the user, or none
// on success, when there was nothing to do, or when the user dismissed the administrator prompt.
Failure setCommandInstalled(bool installed, const std::string& appBundle,
                            const CommandLinkLocations& locations, PrivilegedShell& shell);

struct RemovedCommandLinks {
  std::vector<std::string> removed;
  std::vector<std::string> failed;
};
// Deletes every link among the cleaned locations whose destination lies inside the bundle. Never
// asks for administrator rights: links that can't be deleted are listed in `failed`.
RemovedCommandLinks removeCommandLinks(const std::string& appBundle, const CommandLinkLocations& locations);

// The /bin/sh command lines the administrator route runs. Every path is quoted, so no path can
// run anything else.
std::string shellQuoted(const std::string& text);
// `text` as one shell word for a command line shown to the user: unchanged when the shell would
// take it literally, else quoted.
std::string shellWord(const std::string& text);
std::string linkCreationCommand(const std::string& target, const std::string& link);
std::string linkRemovalCommand(const std::string& link);

}  // namespace Maintenance
