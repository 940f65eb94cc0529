// `halomark status` for programs: the status once as JSON or as a panel module's object, or
// followed, one line per change, until the process is asked to end or its reader goes away.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace StatusFollow {

enum class Format { text, json, waybar };

struct Options {
  Format format = Format::text;
  bool follow = false;
};

// The options after `status`; none (with the usage error written to `err`) when they are bad.
// Words that are no option of its own are ignored, as `status` always ignored them.
std::optional<Options> parse(const std::vector<std::string>& arguments, std::ostream& err);

// One line: the status line, the JSON object or the panel's object.
std::string line(Format format, Prefs& prefs, Platform& platform, bool appRunning,
                 const std::optional<PlistDictionary>& published);

// Prints the status at once, then a line each time it changes: from the application's
// announcements while it publishes its state, from the preference folder otherwise. Returns the
// exit status.
int follow(Format format, Prefs& prefs, CliContext& context);

}  // namespace StatusFollow
