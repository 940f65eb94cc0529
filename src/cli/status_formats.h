// The status as programs read it: one JSON object with stable keys (described by the JSON Schema
// the package installs), and the object a panel's custom module reads (waybar, polybar).
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "cli/status_report.h"

namespace StatusFormats {

// Version of the JSON object's keys: raised only when a key changes meaning or goes away.
inline constexpr int kJsonVersion = 1;

nlohmann::ordered_json document(const StatusReport& report);
// `text`, `alt` (on, off, held, dimmed, signaling), `tooltip` (the status line), `class` (as
// `alt`) and `percentage` (the brightness now in the 0-1000 nits range).
nlohmann::ordered_json panel(const StatusReport& report);

// One line of output, without its line feed: compact JSON never spans lines.
std::string jsonLine(const nlohmann::ordered_json& object);

}  // namespace StatusFormats
