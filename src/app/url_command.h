// The URL commands that start or stop the attention signal: halomark://signal?message=…&style=…
// starts it, halomark://signal/stop stops it.
#pragma once

#include <optional>
#include <string>

#include "prefs/prefs.h"

struct UrlCommand {
  enum class Action { start, stop };
  Action action = Action::start;
  std::optional<std::string> message;  // percent-decoded, not yet shortened
  std::optional<Prefs::SignalStyle> style;
};

// None when the URL is not one of ours (scheme other than exactly "halomark" or host other than
// exactly "signal"). A URL whose query cannot be parsed still starts, without message or style.
std::optional<UrlCommand> parseUrlCommand(const std::string& url);
