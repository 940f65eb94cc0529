#include "shortcuts/published_shortcuts.h"

#include <gtest/gtest.h>

namespace {

using LogoLight::matchPhrase;

std::vector<LogoLightAction> actionsMatching(const std::string& query) {
  std::vector<LogoLightAction> result;
  for (const auto& match : matchPhrase(query)) result.push_back(match.shortcut->action);
  return result;
}

TEST(PublishedShortcutsTest, ShortcutsComeInTheirOrderWithTitlesSymbolsAndPhrases) {
  const auto& shortcuts = LogoLight::publishedShortcuts();
  ASSERT_EQ(shortcuts.size(), 5u);
  std::vector<std::string> titles, phrases;
  for (const auto& shortcut : shortcuts) {
    titles.push_back(shortcut.shortTitle + "/" + shortcut.symbol);
    for (const auto& phrase : shortcut.phrases) phrases.push_back(LogoLight::phraseText(phrase));
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"Logo Off/lightbulb.slash", "Logo On/lightbulb.max",
                                              "Toggle Logo/lightbulb", "Set Logo Light/slider.horizontal.3",
                                              "Logo Status/info.circle"}));
  EXPECT_EQ(phrases,
            (std::vector<std::string>{"Turn off the logo with Halomark", "Turn off Halomark", "Halomark off",
                                      "Turn on the logo with Halomark", "Turn on Halomark", "Halomark on",
                                      "Toggle Halomark", "Toggle the logo with Halomark",
                                      "Set the logo light with Halomark", "Change Halomark", "Is Halomark on",
                                      "What's the logo light status in Halomark"}));
  EXPECT_EQ(shortcuts[0].action, LogoLightAction::turnOff);
  EXPECT_EQ(shortcuts[4].action, LogoLightAction::status);
}

TEST(PublishedShortcutsTest, PhrasesMatchWithoutRegardToCaseSpacingOrApostrophes) {
  EXPECT_EQ(actionsMatching("turn OFF halomark"), std::vector{LogoLightAction::turnOff});
  EXPECT_EQ(actionsMatching("  halomark   on "), std::vector{LogoLightAction::turnOn});
  EXPECT_EQ(actionsMatching("What\xE2\x80\x99s the logo light status in Halomark"),
            std::vector{LogoLightAction::status});
  EXPECT_EQ(actionsMatching("is halomark on"), std::vector{LogoLightAction::status});
  EXPECT_TRUE(matchPhrase("Toggle Halomark").front().exact);
}

TEST(PublishedShortcutsTest, BeginningsOfPhrasesOfferEveryCandidateAfterExactOnes) {
  // "Halomark o" begins both "Halomark off" and "Halomark on".
  EXPECT_EQ(actionsMatching("Halomark o"), (std::vector{LogoLightAction::turnOff, LogoLightAction::turnOn}));
  auto matches = matchPhrase("halomark on");
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_TRUE(matches[0].exact);
  // "Turn o" begins phrases of both turning shortcuts, each offered once.
  EXPECT_EQ(actionsMatching("turn o"), (std::vector{LogoLightAction::turnOff, LogoLightAction::turnOn}));
  EXPECT_FALSE(matchPhrase("turn o").front().exact);
  EXPECT_TRUE(actionsMatching("tu").empty());
  EXPECT_TRUE(actionsMatching("").empty());
  EXPECT_TRUE(actionsMatching("turn off the lights").empty());
  EXPECT_TRUE(actionsMatching("Halomark off now").empty());
}

}  // namespace
