#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"
#include "formats/brightness_table.h"

namespace {

class StatusReport : public ::testing::Test {
 protected:
  StatusReport() { fake.brightness.properties[kStateKey] = {{"FinalNits", 24.5}, {"NitsMultiplier", 2.0}}; }
  std::string report() {
    std::ostringstream out, err;
    std::istringstream in;
    CliContext context{fake.platform, out, err, in};
    CLI::printStatus(prefs, context);
    EXPECT_EQ(err.str(), "");
    return out.str();
  }
  void store(const std::string& key, const PlistValue& value) { prefs.set(key, value); }
  void lockScreen() { fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", true}}; }

  FakePlatform fake;
  Prefs prefs{fake.preferences};
};

TEST_F(StatusReport, AutomaticWithNoRule) {
  EXPECT_EQ(report(),
            "Setting:      Automatic (follows display)\n"
            "Logo now:     25 nits\n"
            "Halomark app: not running\n");
}

TEST_F(StatusReport, FixedWithARuleHoldingItOff) {
  prefs.setSetting(Setting::fixed(12.5));
  fake.instances.running = true;
  lockScreen();
  fake.brightness.properties[kStateKey]["FinalNits"] = 24.4;
  EXPECT_EQ(report(),
            "Setting:      Fixed, 12.5 nits\n"
            "Held off:     Mac is locked (Automation rule)\n"
            "Logo now:     24 nits\n"
            "Halomark app: running\n");
}

TEST_F(StatusReport, ARuleIsReportedWhileTheApplicationIsNotRunning) {
  // The tool judges the rule itself, so the report holds without the application.
  lockScreen();
  EXPECT_EQ(report(),
            "Setting:      Automatic (follows display)\n"
            "Held off:     Mac is locked (Automation rule)\n"
            "Logo now:     25 nits\n"
            "Halomark app: not running\n");
}

// Listing the running applications is the dearest part of a snapshot: only an application rule
// pays for it.
TEST_F(StatusReport, RunningApplicationsAreListedOnlyForAnApplicationRule) {
  fake.workspace.running = {{.bundleIdentifier = "org.example.Editor", .localizedName = "Editor"}};
  report();
  EXPECT_EQ(fake.workspace.applicationQueries, 0);

  store("offAppBundleIDs", PlistValue::array({"org.example.Editor"}));
  EXPECT_EQ(report(),
            "Setting:      Automatic (follows display)\n"
            "Held off:     Editor is open (Automation rule)\n"
            "Logo now:     25 nits\n"
            "Halomark app: not running\n");
  EXPECT_GT(fake.workspace.applicationQueries, 0);
}

TEST_F(StatusReport, FixedNitsUseTheLocaleAndQuietHoursShowDimmed) {
  prefs.setSetting(Setting::fixed(1000));
  fake.locale.groupSeparator = ".";
  store("quietHoursEnabled", true);
  store("quietHoursAction", "dim");
  store("quietHoursStartHour", 0);
  store("quietHoursEndHour", 0);
  EXPECT_EQ(report().substr(0, 35), "Setting:      Fixed, 1.000 nits\nLog");

  // A one-hour window around now.
  int hour = fake.clock.localHour(fake.clock.now());
  store("quietHoursStartHour", hour);
  store("quietHoursEndHour", (hour + 1) % 24);
  auto text = report();
  EXPECT_NE(text.find("\nDimmed:       25 nits (Quiet Hours)\n"), std::string::npos) << text;
}

TEST_F(StatusReport, OffShowsNoRuleAndNoBrightnessWhenUnreadable) {
  store("setting", "off");
  lockScreen();
  fake.brightness.properties.erase(kStateKey);
  EXPECT_EQ(report(),
            "Setting:      Off\n"
            "Halomark app: not running\n");
}

TEST_F(StatusReport, BrightnessRoundsHalvesAwayFromZero) {
  for (auto [nits, shown] :
       std::vector<std::pair<double, std::string>>{{0.5, "1"}, {0.49, "0"}, {999.5, "1000"}}) {
    fake.brightness.properties[kStateKey]["FinalNits"] = nits;
    EXPECT_NE(report().find("Logo now:     " + shown + " nits\n"), std::string::npos) << nits;
  }
}

}  // namespace
