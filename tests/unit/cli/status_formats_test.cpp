// The status as programs read it, in each state the fakes can put the machine in.
#include "cli/status_formats.h"

#include <gtest/gtest.h>

#include "app/published_state.h"
#include "fakes/fake_platform.h"
#include "formats/brightness_table.h"
#include "formats/app_identifier.h"

namespace {

using nlohmann::json;

class StatusFormatsTest : public ::testing::Test {
 protected:
  StatusFormatsTest() { fake.brightness.properties[kStateKey] = {{"FinalNits", 80.4}}; }
  StatusReport report(bool running = false, std::optional<PlistDictionary> published = std::nullopt) {
    return StatusReports::gather(prefs, fake.platform, running, published);
  }
  json document(bool running = false, std::optional<PlistDictionary> published = std::nullopt) {
    return json::parse(StatusFormats::jsonLine(StatusFormats::document(report(running, published))));
  }
  void onBattery() {
    fake.powerSources.state = PowerSourcesSnapshot{
        "Battery Power",
        {PlistValue{{"Type", "InternalBattery"}, {"Current Capacity", 50}, {"Max Capacity", 100}}}};
  }
  void quietHours(int start, int end, const char* action) {
    prefs.set("quietHoursEnabled", true);
    prefs.set("quietHoursStartHour", static_cast<long long>(start));
    prefs.set("quietHoursEndHour", static_cast<long long>(end));
    prefs.set("quietHoursAction", action);
  }

  FakePlatform fake;
  Prefs prefs{fake.preferences};
};

TEST_F(StatusFormatsTest, AFixedSettingWithNothingInTheWay) {
  prefs.setSetting(Setting::fixed(80));
  json expected = {{"version", 1},
                   {"setting", {{"kind", "fixed"}, {"nits", 80.0}}},
                   {"lastOn", {{"kind", "fixed"}, {"nits", 80.0}}},
                   {"effective", {{"kind", "fixed"}, {"nits", 80.0}}},
                   {"rule", nullptr},
                   {"logo", {{"nits", 80.4}, {"unavailable", nullptr}}},
                   {"light", {{"kind", "emulated"}, {"name", nullptr}, {"accessProblem", nullptr}}},
                   {"app", {{"running", false}}},
                   {"signal", {{"active", false}, {"message", nullptr}, {"style", nullptr}}},
                   {"problems", json::array()}};
  EXPECT_EQ(document(), expected);
}

TEST_F(StatusFormatsTest, OffKeepsTheLastOnSettingAndNoRule) {
  prefs.setSetting(Setting::fixed(300));
  prefs.setSetting(Setting::off());
  onBattery();
  prefs.set("offOnBattery", true);
  auto doc = document();
  EXPECT_EQ(doc["setting"]["kind"], "off");
  EXPECT_EQ(doc["lastOn"], (json{{"kind", "fixed"}, {"nits", 300.0}}));
  EXPECT_EQ(doc["effective"]["kind"], "off");
  EXPECT_EQ(doc["rule"], nullptr) << "rules do not apply to a logo turned off";
}

TEST_F(StatusFormatsTest, RulesSayWhichTheyAreAndUntilWhenWhereTheyKnow) {
  quietHours(7, 17, "off");  // the virtual clock stands at 08:00
  EXPECT_EQ(document()["rule"], (json{{"source", "quietHours"},
                                      {"action", "off"},
                                      {"reason", "Quiet Hours"},
                                      {"nits", nullptr},
                                      {"until", {{"kind", "localTime"}, {"time", "17:00"}}}}));
  quietHours(22, 9, "dim");
  auto dimmed = document();
  EXPECT_EQ(dimmed["rule"]["action"], "dim");
  EXPECT_EQ(dimmed["rule"]["nits"], 25.0);
  EXPECT_EQ(dimmed["rule"]["until"]["time"], "09:00");
  EXPECT_EQ(dimmed["effective"], (json{{"kind", "fixed"}, {"nits", 25.0}}));

  onBattery();
  prefs.set("offOnBattery", true);
  EXPECT_EQ(document()["rule"]["until"], (json{{"kind", "powerConnected"}}));
  prefs.set("offBelowPercent", 60LL);
  EXPECT_EQ(document()["rule"]["source"], "lowBattery");
  EXPECT_EQ(document()["rule"]["until"], (json{{"kind", "powerConnected"}}));

  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", true}};
  auto locked = document()["rule"];
  EXPECT_EQ(locked["source"], "locked");
  EXPECT_EQ(locked["until"], nullptr);
}

TEST_F(StatusFormatsTest, NoLogoHardwareLeavesTheBrightnessNullWithTheReason) {
  fake.brightness.properties.clear();
  fake.logoHardware.present = false;
  auto doc = document();
  EXPECT_EQ(doc["logo"], (json{{"nits", nullptr}, {"unavailable", "noLogoHardware"}}));
  EXPECT_EQ(doc["light"], nullptr);
  fake.logoHardware.present = true;
  EXPECT_EQ(document()["logo"]["unavailable"], "controlsMissing");
}

TEST_F(StatusFormatsTest, AnLedAndItsAccessProblem) {
  fake.logoHardware.driven = DrivenLight{false, "platform::logo"};
  fake.logoHardware.advice = "Halomark may not set platform::logo.";
  EXPECT_EQ(document()["light"], (json{{"kind", "led"},
                                       {"name", "platform::logo"},
                                       {"accessProblem", "Halomark may not set platform::logo."}}));
}

TEST_F(StatusFormatsTest, TheSignalIsWhatTheRunningApplicationPublishes) {
  PlistDictionary published{{PublishedState::kSignaling, true},
                            {PublishedState::kSignalMessage, "Done: make"},
                            {PublishedState::kSignalStyle, "doublePulse"}};
  auto doc = document(true, published);
  EXPECT_EQ(doc["app"]["running"], true);
  EXPECT_EQ(doc["signal"], (json{{"active", true}, {"message", "Done: make"}, {"style", "doublePulse"}}));
  published[PublishedState::kSignalMessage] = "";
  EXPECT_EQ(document(true, published)["signal"]["message"], nullptr);
  EXPECT_EQ(document(false, published)["app"]["running"], true) << "whoever publishes runs";
}

TEST_F(StatusFormatsTest, WhatCannotBeReadIsAProblemNotAFailure) {
  auto unasked = document(true, std::nullopt);
  EXPECT_EQ(unasked["signal"], nullptr) << "a running application that cannot be asked";
  ASSERT_EQ(unasked["problems"].size(), 1u);

  fake.preferences.problems[kAppIdentifier] = "settings.json is not a settings file Halomark can read";
  auto broken = document();
  EXPECT_EQ(broken["setting"]["kind"], "automatic") << "the defaults stand in";
  ASSERT_EQ(broken["problems"].size(), 1u);
  EXPECT_NE(broken["problems"][0].get<std::string>().find("settings.json is not a settings file"),
            std::string::npos);
}

TEST_F(StatusFormatsTest, PanelObjectsForEveryState) {
  auto panel = [&](bool running = false, std::optional<PlistDictionary> published = std::nullopt) {
    return StatusFormats::panel(report(running, published));
  };
  EXPECT_EQ(panel(), (nlohmann::ordered_json{{"text", "80 nits"},
                                             {"alt", "on"},
                                             {"tooltip", "On \u00b7 following display \u00b7 80 nits"},
                                             {"class", "on"},
                                             {"percentage", 8}}));
  quietHours(7, 17, "dim");
  EXPECT_EQ(panel()["alt"], "dimmed");
  EXPECT_EQ(panel()["tooltip"], "Dimmed \u00b7 25 nits (Quiet Hours)");
  quietHours(7, 17, "off");
  EXPECT_EQ(panel()["alt"], "held");
  EXPECT_EQ(panel()["text"], "Off");
  auto signaling = panel(true, PlistDictionary{{PublishedState::kSignaling, true},
                                               {PublishedState::kSignalMessage, "Failed (2): make"}});
  EXPECT_EQ(signaling["alt"], "signaling");
  EXPECT_EQ(signaling["tooltip"], "Signaling: Failed (2): make");
  prefs.setSetting(Setting::off());
  fake.brightness.properties[kStateKey] = {{"FinalNits", 0.0}};
  EXPECT_EQ(panel(),
            (nlohmann::ordered_json{
                {"text", "Off"}, {"alt", "off"}, {"tooltip", "Off"}, {"class", "off"}, {"percentage", 0}}));
  fake.brightness.properties[kStateKey] = {{"FinalNits", 1400.0}};
  prefs.setSetting(Setting::automatic());
  quietHours(0, 0, "off");
  EXPECT_EQ(panel()["percentage"], 100) << "held within the range";
}

TEST_F(StatusFormatsTest, TextThatIsNotUtf8IsReplacedNotFatal) {
  PlistDictionary published{{PublishedState::kSignaling, true},
                            {PublishedState::kSignalMessage, "bad \xff byte"}};
  auto line = StatusFormats::jsonLine(StatusFormats::document(report(true, published)));
  EXPECT_NE(line.find("bad \xef\xbf\xbd byte"), std::string::npos);
  EXPECT_EQ(line.find('\n'), std::string::npos);
}

}  // namespace
