#include "shortcuts/named_actions.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

using LogoLight::Refusal;

std::string answer(const std::variant<std::string, Refusal>& outcome) {
  if (auto* refusal = std::get_if<Refusal>(&outcome)) return "refused: " + refusal->reason;
  return std::get<std::string>(outcome);
}

class NamedActionsTest : public ::testing::Test {
 protected:
  PlistValue stored(const std::string& key) { return fake.preferences.domains[kAppIdentifier][key]; }
  FakePlatform fake;
  Prefs prefs{fake.platform.preferences};
  LogoCommands commands{prefs, fake.platform, [] {}};
  LogoLight::Actions actions{commands};
};

TEST_F(NamedActionsTest, EachNameRunsItsActionAndAnswers) {
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "turn-off", {})), "The logo is off.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "status", {})), "The logo is off.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "turn-on", {})), "The logo is following the display.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "toggle", {})), "The logo is off.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "set", {PlistValue::array({"fixed", 300.0})})),
            "The logo is at a fixed 300 nits.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "set", {"fixed", 20})), "The logo is at a fixed 20 nits.");
}

TEST_F(NamedActionsTest, BadRequestsAreRefusedAndChangeNothing) {
  EXPECT_EQ(answer(LogoLight::runSet(actions, "bright", 300)),
            "refused: Unknown logo light mode \"bright\": use off, automatic or fixed.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "set", {PlistValue::array({"Fixed", 300.0})})),
            "refused: Unknown logo light mode \"Fixed\": use off, automatic or fixed.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "set", {"fixed"})),
            "refused: The set action takes a mode and a brightness in nits.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "set", {300.0, "fixed"})),
            "refused: The set action takes a mode and a brightness in nits.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "toggle", {true})),
            "refused: The toggle action takes no parameter.");
  EXPECT_EQ(answer(LogoLight::runNamed(actions, "explode", {})), "refused: Unknown action \"explode\".");
  EXPECT_TRUE(fake.preferences.domains[kAppIdentifier].empty());
  EXPECT_TRUE(fake.notifications.posted.empty());
}

TEST_F(NamedActionsTest, RefusalsQuoteAtMostTwoHundredCharactersOfWhatTheyRefuse) {
  std::string huge(8 * 1024 * 1024, 'x');
  auto refusal = answer(LogoLight::runNamed(actions, huge, {}));
  EXPECT_EQ(refusal, "refused: Unknown action \"" + std::string(200, 'x') + "\u2026\".");
  // Cut after whole characters: 199 letters and a two-byte one fit, the next is cut off.
  std::string accented = std::string(199, 'a') + "\xC3\xA9\xC3\xA9";
  EXPECT_EQ(LogoLight::quoted(accented), "\"" + std::string(199, 'a') + "\xC3\xA9\u2026\"");
  EXPECT_EQ(LogoLight::quoted(std::string(200, 'b')), "\"" + std::string(200, 'b') + "\"");
  EXPECT_EQ(answer(LogoLight::runSet(actions, huge, 300)).size(),
            std::string("refused: Unknown logo light mode \"\": use off, automatic or fixed.").size() + 200 +
                std::string("\u2026").size());
}

TEST_F(NamedActionsTest, TheRunnerOffersShortTitlesAndRunsSetWithItsDefaults) {
  auto matches = LogoLight::runnerMatches("Turn off Halomark");
  ASSERT_EQ(matches.size(), 1u);
  EXPECT_EQ(matches[0].id, "turn-off");
  EXPECT_EQ(matches[0].text, "Logo Off");
  EXPECT_TRUE(matches[0].exact);
  EXPECT_EQ(answer(LogoLight::runRunnerMatch(actions, "turn-off")), "The logo is off.");
  EXPECT_EQ(answer(LogoLight::runRunnerMatch(actions, "set")), "The logo is following the display.");
  EXPECT_EQ(stored("setting"), "automatic");
  EXPECT_EQ(answer(LogoLight::runRunnerMatch(actions, "nonsense")), "refused: Unknown action \"nonsense\".");
}

}  // namespace
