#include "app/url_command.h"

#include <gtest/gtest.h>

namespace {

using Action = UrlCommand::Action;

TEST(UrlCommand, OnlyOurSchemeAndHostCount) {
  EXPECT_TRUE(parseUrlCommand("halomark://signal"));
  EXPECT_TRUE(parseUrlCommand("halomark://signal/"));
  EXPECT_FALSE(parseUrlCommand("HALOMARK://signal"));
  EXPECT_FALSE(parseUrlCommand("halomark://Signal"));
  EXPECT_FALSE(parseUrlCommand("halomark://signals"));
  EXPECT_FALSE(parseUrlCommand("halomark:signal"));
  EXPECT_FALSE(parseUrlCommand("https://signal/stop"));
  EXPECT_FALSE(parseUrlCommand("halomark"));
}

TEST(UrlCommand, OnlyTheExactStopPathStops) {
  EXPECT_EQ(parseUrlCommand("halomark://signal/stop")->action, Action::stop);
  EXPECT_EQ(parseUrlCommand("halomark://signal/stop?message=x")->action, Action::stop);
  EXPECT_EQ(parseUrlCommand("halomark://signal/stop#now")->action, Action::stop);
  EXPECT_EQ(parseUrlCommand("halomark://signal/stop/")->action, Action::start);
  EXPECT_EQ(parseUrlCommand("halomark://signal/STOP")->action, Action::start);
  EXPECT_EQ(parseUrlCommand("halomark://signal/start")->action, Action::start);
  EXPECT_EQ(parseUrlCommand("halomark://signal")->action, Action::start);
}

TEST(UrlCommand, MessageAndStyleFromTheFirstQueryItems) {
  auto command = parseUrlCommand("halomark://signal?message=Build%20done%21&style=steady&message=second");
  EXPECT_EQ(command->message, "Build done!");
  EXPECT_EQ(command->style, Prefs::SignalStyle::steady);

  command = parseUrlCommand("halomark://signal?style=double&message=a+b%E2%9C%93");
  EXPECT_EQ(command->style, std::nullopt) << "only raw style values";
  EXPECT_EQ(command->message, "a+b\u2713") << "a plus sign stays a plus sign";

  command = parseUrlCommand("halomark://signal?message&style=");
  EXPECT_EQ(command->message, std::nullopt) << "an item without a value is no message";
  EXPECT_EQ(command->style, std::nullopt);

  command = parseUrlCommand("halomark://signal?message=&style=doublePulse");
  EXPECT_EQ(command->message, "");
  EXPECT_EQ(command->style, Prefs::SignalStyle::doublePulse);

  command = parseUrlCommand("halomark://signal?note=x");
  EXPECT_EQ(command->message, std::nullopt);
}

TEST(UrlCommand, MalformedQueryStartsWithoutMessageOrStyle) {
  for (const char* url :
       {"halomark://signal?message=50%&style=steady", "halomark://signal?message=%zz&style=steady",
        "halomark://signal?message=two words&style=steady"}) {
    auto command = parseUrlCommand(url);
    ASSERT_TRUE(command) << url;
    EXPECT_EQ(command->action, Action::start);
    EXPECT_EQ(command->message, std::nullopt) << url;
    EXPECT_EQ(command->style, std::nullopt) << url;
  }
}

}  // namespace
