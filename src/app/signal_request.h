// A request to start or stop the attention signal, wherever it comes from: the tool's notification,
// a URL, the hot key, the menu, a desktop action or the settings window.
#pragma once

#include <optional>
#include <string>

#include "prefs/prefs.h"

struct SignalRequest {
  enum class Action { start, stop };
  Action action = Action::start;
  std::optional<std::string> message;       // as given; the application shortens it
  std::optional<Prefs::SignalStyle> style;  // none: the style of the preferences
};
