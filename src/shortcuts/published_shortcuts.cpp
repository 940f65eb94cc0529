#include "shortcuts/published_shortcuts.h"

#include <algorithm>
#include <cctype>

namespace LogoLight {

namespace {

// Lower-case ASCII letters, one space between words, and the typographic apostrophe (U+2019) read
// as the plain one, so "what’s" typed on a phone keyboard still matches.
std::string normalised(const std::string& text) {
  std::string withApostrophes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, "\xE2\x80\x99") == 0) {
      withApostrophes += '\'';
      i += 2;
    } else {
      withApostrophes += text[i];
    }
  }
  std::string result;
  for (char c : withApostrophes) {
    auto byte = static_cast<unsigned char>(c);
    if (std::isspace(byte)) {
      if (!result.empty() && result.back() != ' ') result += ' ';
    } else {
      result += static_cast<char>(std::tolower(byte));
    }
  }
  if (!result.empty() && result.back() == ' ') result.pop_back();
  return result;
}

}  // namespace

const std::vector<PublishedShortcut>& publishedShortcuts() {
  static const std::vector<PublishedShortcut> shortcuts{
      {LogoLightAction::turnOff,
       "Logo Off",
       "lightbulb.slash",
       {{"Turn off the logo with ", ""}, {"Turn off ", ""}, {"", " off"}}},
      {LogoLightAction::turnOn,
       "Logo On",
       "lightbulb.max",
       {{"Turn on the logo with ", ""}, {"Turn on ", ""}, {"", " on"}}},
      {LogoLightAction::toggle, "Toggle Logo", "lightbulb", {{"Toggle ", ""}, {"Toggle the logo with ", ""}}},
      {LogoLightAction::set,
       "Set Logo Light",
       "slider.horizontal.3",
       {{"Set the logo light with ", ""}, {"Change ", ""}}},
      {LogoLightAction::status,
       "Logo Status",
       "info.circle",
       {{"Is ", " on"}, {"What's the logo light status in ", ""}}},
  };
  return shortcuts;
}

std::string phraseText(const Phrase& phrase, const std::string& applicationName) {
  return phrase.beforeName + applicationName + phrase.afterName;
}

std::vector<PhraseMatch> matchPhrase(const std::string& query, std::size_t minimumPrefix) {
  std::string wanted = normalised(query);
  std::vector<PhraseMatch> exact;
  std::vector<PhraseMatch> partial;
  if (wanted.empty()) return exact;
  for (const auto& shortcut : publishedShortcuts()) {
    bool isExact = false;
    bool isPrefix = false;
    for (const auto& phrase : shortcut.phrases) {
      std::string text = normalised(phraseText(phrase));
      isExact = isExact || text == wanted;
      isPrefix = isPrefix || (wanted.size() >= minimumPrefix && text.starts_with(wanted));
    }
    if (isExact) {
      exact.push_back({&shortcut, true});
    } else if (isPrefix) {
      partial.push_back({&shortcut, false});
    }
  }
  exact.insert(exact.end(), partial.begin(), partial.end());
  return exact;
}

}  // namespace LogoLight
