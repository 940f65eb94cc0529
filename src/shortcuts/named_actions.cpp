#include "shortcuts/named_actions.h"

#include "shortcuts/published_shortcuts.h"

namespace LogoLight {

namespace {

// (mode, nits) as one structure, or the two values side by side.
std::optional<std::pair<std::string, double>> setParameter(const std::vector<PlistValue>& parameter) {
  const std::vector<PlistValue>* values = &parameter;
  if (parameter.size() == 1 && parameter[0].is_array())
    values = parameter[0].get_ptr<const PlistValue::array_t*>();
  if (values->size() != 2 || !(*values)[0].is_string() || !(*values)[1].is_number()) return std::nullopt;
  return std::pair{(*values)[0].get<std::string>(), (*values)[1].get<double>()};
}

}  // namespace

std::string quoted(const std::string& text) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Continuation bytes belong to the character before them.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (++characters > kMaxQuotedCharacters) return "\"" + text.substr(0, i) + "\u2026\"";
  }
  return "\"" + text + "\"";
}

std::variant<std::string, Refusal> runSet(Actions& actions, const std::string& mode, double nits) {
  auto known = modeFromRaw(mode);
  if (!known) return Refusal{"Unknown logo light mode " + quoted(mode) + ": use off, automatic or fixed."};
  return actions.set(*known, nits);
}

std::variant<std::string, Refusal> runNamed(Actions& actions, const std::string& name,
                                            const std::vector<PlistValue>& parameter) {
  auto action = actionFromName(name);
  if (!action) return Refusal{"Unknown action " + quoted(name) + "."};
  if (*action == LogoLightAction::set) {
    auto values = setParameter(parameter);
    if (!values) return Refusal{"The set action takes a mode and a brightness in nits."};
    return runSet(actions, values->first, values->second);
  }
  if (!parameter.empty()) return Refusal{"The " + name + " action takes no parameter."};
  switch (*action) {
    case LogoLightAction::status: return actions.status().sentence;
    case LogoLightAction::toggle: return actions.toggle();
    case LogoLightAction::turnOn: return actions.turnOn();
    case LogoLightAction::turnOff: return actions.turnOff();
    case LogoLightAction::set: break;
  }
  return Refusal{"Unknown action " + quoted(name) + "."};
}

std::vector<RunnerMatch> runnerMatches(const std::string& query) {
  std::vector<RunnerMatch> matches;
  for (const auto& match : matchPhrase(query))
    matches.push_back({actionName(match.shortcut->action), match.shortcut->shortTitle, match.exact});
  return matches;
}

std::variant<std::string, Refusal> runRunnerMatch(Actions& actions, const std::string& matchId) {
  if (matchId == actionName(LogoLightAction::set))
    return actions.set(kSetModeDefault, setNitsParameter().defaultValue);
  return runNamed(actions, matchId, {});
}

}  // namespace LogoLight
