// The URL commands that start or stop the attention signal: halomark://signal?message=…&style=…
// starts it, halomark://signal/stop stops it.
#pragma once

#include <optional>
#include <string>

#include "app/signal_request.h"

// The message comes percent-decoded, not yet shortened.
using UrlCommand = SignalRequest;

// None when the URL is not one of ours (scheme other than exactly "halomark" or host other than
// exactly "signal"). A URL whose query cannot be parsed still starts, without message or style.
std::optional<UrlCommand> parseUrlCommand(const std::string& url);
