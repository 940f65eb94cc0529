// `status --json`, `--format waybar` and `--follow` on the fakes: options, and which changes make a
// line.
#include "cli/status_follow.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "app/published_state.h"
#include "fakes/cli_harness.h"
#include "formats/brightness_table.h"
#include "formats/app_identifier.h"

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

class StatusFollowTest : public ::testing::Test, protected CliHarness {
 protected:
  StatusFollowTest() { fake.brightness.properties[kStateKey] = {{"FinalNits", 150.0}}; }
  int status(const std::vector<std::string>& arguments) { return CLI::status(arguments, prefs, context); }
  // The application appears (or changes) with these published properties.
  void publish(PlistDictionary properties) {
    fake.applicationState.announce(kAppIdentifier, std::move(properties));
  }
  static PlistDictionary idle() { return {{PublishedState::kSignaling, false}}; }
  void logoAt(double nits) { fake.brightness.properties[kStateKey]["FinalNits"] = nits; }
  void script(std::function<void()> step) { fake.mainLoop.script.push_back(std::move(step)); }
};

TEST_F(StatusFollowTest, OptionsAndTheirMistakes) {
  std::ostringstream errors;
  auto parsed = StatusFollow::parse({"--follow", "--format", "waybar"}, errors);
  ASSERT_TRUE(parsed);
  EXPECT_TRUE(parsed->follow);
  EXPECT_EQ(parsed->format, StatusFollow::Format::waybar);
  EXPECT_EQ(StatusFollow::parse({"--json", "--format", "json", "extra"}, errors)->format,
            StatusFollow::Format::json);
  EXPECT_EQ(StatusFollow::parse({"whatever"}, errors)->format, StatusFollow::Format::text)
      << "as status always did";
  EXPECT_EQ(errors.str(), "");
  for (const auto& bad : std::vector<std::vector<std::string>>{{"--format"},
                                                               {"--format", "xml"},
                                                               {"--json", "--format", "waybar"},
                                                               {"--format", "waybar", "--json"}}) {
    EXPECT_EQ(status(bad), 2) << ::testing::PrintToString(bad);
  }
  EXPECT_NE(err.str().find("usage: halomark status [--json | --format waybar] [--follow]"),
            std::string::npos);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(fake.mainLoop.runs, 0);
}

TEST_F(StatusFollowTest, JsonOnceAsksTheRunningApplicationOnly) {
  EXPECT_EQ(status({"--json"}), 0);
  EXPECT_EQ(fake.applicationState.asked, 0) << "nothing runs to ask";
  fake.instances.running = true;
  fake.applicationState.state[kAppIdentifier] = {{PublishedState::kSignaling, true}};
  EXPECT_EQ(status({"--json"}), 0);
  auto shown = lines(out.str());
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(shown[0])["signal"]["active"], false);
  EXPECT_EQ(nlohmann::json::parse(shown[1])["signal"]["active"], true);
  EXPECT_EQ(fake.mainLoop.runs, 0);
}

TEST_F(StatusFollowTest, TheTextReportStaysAsItWasWhateverElseIsTyped) {
  EXPECT_EQ(status({}), 0);
  EXPECT_EQ(status({"now"}), 0);
  EXPECT_EQ(lines(out.str()), (std::vector<std::string>{
                                  "Setting:      Automatic (follows display)", "Logo now:     150 nits",
                                  "Halomark app: not running", "Setting:      Automatic (follows display)",
                                  "Logo now:     150 nits", "Halomark app: not running"}));
}

TEST_F(StatusFollowTest, FollowsTheApplicationWhileItPublishesAndTheFolderOtherwise) {
  script([&] { fake.preferenceWatch.changed(kAppIdentifier); });  // nothing changed: no line
  script([&] {
    prefs.setSetting(Setting::fixed(80));
    fake.preferenceWatch.changed(kAppIdentifier);  // the tool wrote while nothing runs
  });
  script([&] { publish(idle()); });  // the application starts
  script([&] {
    prefs.setSetting(Setting::off());
    fake.preferenceWatch.changed(kAppIdentifier);  // heard from the application instead
  });
  script([&] {
    logoAt(0);
    publish(idle());  // its apply
  });
  script([&] { publish(idle()); });  // a watchdog check that changed nothing
  script([&] { publish({{PublishedState::kSignaling, true}, {PublishedState::kSignalMessage, "hi"}}); });
  script([&] { publish(idle()); });
  script([&] { fake.applicationState.announce(kAppIdentifier, std::nullopt); });  // it crashed
  script([&] {
    prefs.setSetting(Setting::automatic());
    fake.preferenceWatch.changed(kAppIdentifier);
  });
  EXPECT_EQ(status({"--follow"}), 0);
  EXPECT_EQ(fake.mainLoop.prepared, 1);
  EXPECT_EQ(lines(out.str()),
            (std::vector<std::string>{"On \u00b7 following display \u00b7 150 nits",
                                      "On \u00b7 fixed \u00b7 150 nits", "Off", "Signaling: hi", "Off",
                                      "On \u00b7 following display \u00b7 0 nits"}));
}

TEST_F(StatusFollowTest, WithoutABusTheFolderAndTheRunningCheckSuffice) {
  fake.applicationState.followable = false;
  fake.instances.running = true;
  script([&] {
    prefs.setSetting(Setting::off());
    fake.preferenceWatch.changed(kAppIdentifier);
  });
  EXPECT_EQ(status({"--follow", "--json"}), 0);
  auto shown = lines(out.str());
  ASSERT_EQ(shown.size(), 2u);
  auto last = nlohmann::json::parse(shown[1]);
  EXPECT_EQ(last["setting"]["kind"], "off");
  EXPECT_EQ(last["app"]["running"], true);
  EXPECT_EQ(last["signal"], nullptr);
}

TEST_F(StatusFollowTest, AReaderThatHasGoneEndsTheFollowing) {
  script([&] { out.setstate(std::ios::badbit); });
  script([&] {
    prefs.setSetting(Setting::off());
    fake.preferenceWatch.changed(kAppIdentifier);
  });
  script([&] { ADD_FAILURE() << "the loop went on after the failed write"; });
  EXPECT_EQ(status({"--follow", "--format", "waybar"}), 0);
  EXPECT_TRUE(fake.mainLoop.quitAsked);
}

}  // namespace
