#include "menubar/status_text.h"

#include "unit/menubar/menubar_fixture.h"

namespace {

using Power::RuleOverride;

TEST(StatusTextCompose, RulesAndSettingsReadAsTheUserExpects) {
  auto automatic = Setting::automatic();
  EXPECT_EQ(StatusText::compose(automatic, std::nullopt, automatic, 86.6),
            "On \u00b7 following display \u00b7 87 nits");
  EXPECT_EQ(StatusText::compose(automatic, std::nullopt, automatic, std::nullopt),
            "On \u00b7 following display");
  EXPECT_EQ(StatusText::compose(Setting::fixed(80), std::nullopt, Setting::fixed(80), 79.5),
            "On \u00b7 fixed \u00b7 80 nits");
  // Stored off is plain "Off", whatever a rule or the hardware says.
  EXPECT_EQ(StatusText::compose(Setting::off(), RuleOverride::off("on battery"), Setting::off(), 300), "Off");

  const std::pair<const char*, const char*> offReasons[] = {
      {"Mac is locked", "Off while Mac is locked"}, {"Low Power Mode", "Off in Low Power Mode"},
      {"on battery", "Off on battery power"},       {"external display", "Off with external display"},
      {"Quiet Hours", "Off during Quiet Hours"},    {"battery at 15%", "Off \u00b7 battery at 15%"},
      {"Zoom is open", "Off \u00b7 Zoom is open"},
  };
  for (const auto& [reason, text] : offReasons) {
    // A rule holding the logo off never shows the read-back.
    EXPECT_EQ(StatusText::compose(automatic, RuleOverride::off(reason), Setting::off(), 40.0), text);
  }
}

TEST(StatusTextCompose, DimLevelIsCutWhileTheReadBackRounds) {
  auto automatic = Setting::automatic();
  EXPECT_EQ(StatusText::compose(automatic, RuleOverride::dim(25, "Quiet Hours"), Setting::fixed(25), 25.0),
            "Dimmed \u00b7 25 nits (Quiet Hours)");
  EXPECT_EQ(
      StatusText::compose(automatic, RuleOverride::dim(12.9, "Quiet Hours"), Setting::fixed(12.9), 12.9),
      "Dimmed \u00b7 12 nits (Quiet Hours)");
  EXPECT_EQ(StatusText::compose(Setting::fixed(12.9), std::nullopt, Setting::fixed(12.9), 12.9),
            "On \u00b7 fixed \u00b7 13 nits");
  // Halves round away from zero.
  EXPECT_EQ(StatusText::compose(automatic, std::nullopt, automatic, 12.5),
            "On \u00b7 following display \u00b7 13 nits");
}

TEST_F(MenuBarTest, StatusTextReadsTheLiveMachine) {
  launch();
  auto line = [&] {
    return StatusText::compose(delegate->outlook(), delegate->logo().stateValue("FinalNits"));
  };
  store("offOnBattery", true);
  onBattery();
  EXPECT_EQ(line(), "Off on battery power");
  store("offOnBattery", false);
  reportNits(std::nullopt);
  EXPECT_EQ(line(), "On \u00b7 following display");
  // Quiet hours around the fake clock's 08:00, dimming.
  store("quietHoursEnabled", true);
  store("quietHoursStartHour", 6);
  store("quietHoursEndHour", 10);
  store("quietHoursAction", "dim");
  EXPECT_EQ(line(), "Dimmed \u00b7 25 nits (Quiet Hours)");
  store("setting", "off");
  reportNits(300);
  EXPECT_EQ(line(), "Off");
}

}  // namespace
