// Running an action the desktop names ("toggle", "turn-on", "turn-off", "status", "set"), with the
// parameter as it came over the bus, and the runner's view of the actions for a typed phrase.
#pragma once

#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include "formats/plist_value.h"
#include "shortcuts/logo_light_actions.h"

namespace LogoLight {

struct Refusal {
  std::string reason;  // why the request was not run, for the caller
};

// The most of a refused text that a refusal quotes back: enough to recognise it, never megabytes.
inline constexpr std::size_t kMaxQuotedCharacters = 200;
// `text` in double quotes, cut after its first 200 characters (an ellipsis marks the cut; a cut
// never splits a UTF-8 sequence).
std::string quoted(const std::string& text);

// The answer sentence, or why nothing ran. "set" takes the mode and the nits, either as one
// (mode, nits) structure or as two values; the other actions take nothing.
std::variant<std::string, Refusal> runNamed(Actions& actions, const std::string& name,
                                            const std::vector<PlistValue>& parameter);

// The set action's own check of its mode: an unknown raw value is refused, never defaulted.
std::variant<std::string, Refusal> runSet(Actions& actions, const std::string& mode, double nits);

struct RunnerMatch {
  std::string id;    // the action's name, handed back when the match is run
  std::string text;  // the shortcut's short title
  bool exact;
};
std::vector<RunnerMatch> runnerMatches(const std::string& query);

// Runs what the runner offered; a set offered by the runner uses its parameters' defaults.
std::variant<std::string, Refusal> runRunnerMatch(Actions& actions, const std::string& matchId);

}  // namespace LogoLight
