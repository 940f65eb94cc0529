// The ready-made shortcuts: each action with its short title, symbol and the phrases that invoke it,
// and the matching of a typed or spoken query against those phrases.
#pragma once

#include <string>
#include <vector>

#include "shortcuts/logo_light_actions.h"

namespace LogoLight {

// The application's name sits between the two texts of a phrase.
struct Phrase {
  std::string beforeName;
  std::string afterName;
};

struct PublishedShortcut {
  LogoLightAction action;
  std::string shortTitle;
  std::string symbol;
  std::vector<Phrase> phrases;
};

inline constexpr const char* kApplicationName = "Halomark";

// Turn off, turn on, toggle, set, get status, in that order.
const std::vector<PublishedShortcut>& publishedShortcuts();

std::string phraseText(const Phrase& phrase, const std::string& applicationName = kApplicationName);

struct PhraseMatch {
  const PublishedShortcut* shortcut;
  // The whole phrase was given, not only its beginning.
  bool exact;
};

// Shortcuts whose phrase equals the query, or begins with it when the query has at least
// `minimumPrefix` characters; letter case, surrounding and repeated spaces and typographic
// apostrophes are not told apart. Exact matches come first; each shortcut appears once.
std::vector<PhraseMatch> matchPhrase(const std::string& query, std::size_t minimumPrefix = 3);

}  // namespace LogoLight
