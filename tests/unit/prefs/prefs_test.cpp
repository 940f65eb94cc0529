#include "prefs/prefs.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

class PrefsTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  Prefs prefs{fake.preferences};
  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier][key] = value;
  }
};

TEST_F(PrefsTest, FreshUserReadsDefaults) {
  EXPECT_TRUE(prefs.hotKeyEnabled());
  EXPECT_TRUE(prefs.ignoreLimits());
  EXPECT_TRUE(prefs.offWhenLocked());
  EXPECT_TRUE(prefs.offInLowPowerMode());
  EXPECT_TRUE(prefs.signalKeepDisplayOn());
  EXPECT_FALSE(prefs.boolValue("offOnBattery"));
  EXPECT_FALSE(prefs.boolValue("quietHoursEnabled"));
  EXPECT_EQ(prefs.quietHoursStartHour(), 22);
  EXPECT_EQ(prefs.quietHoursEndHour(), 7);
  EXPECT_EQ(prefs.quietHoursAction(), Prefs::QuietHoursAction::off);
  EXPECT_EQ(prefs.signalStyle(), Prefs::SignalStyle::breathing);
  EXPECT_EQ(prefs.quitBehavior(), Prefs::QuitBehavior::restore);
  EXPECT_EQ(prefs.setting(), Setting::automatic());
  EXPECT_EQ(prefs.lastOnSetting(), Setting::automatic());
}

TEST_F(PrefsTest, WrongKindsFallBack) {
  store("signalStyle", 3);
  store("hotKeyEnabled", "no");
  store("quitBehavior", "KeepOff");
  store("quietHoursStartHour", -5);
  store("quietHoursEndHour", 30);
  EXPECT_EQ(prefs.signalStyle(), Prefs::SignalStyle::breathing);
  EXPECT_TRUE(prefs.hotKeyEnabled());
  EXPECT_EQ(prefs.quitBehavior(), Prefs::QuitBehavior::restore);
  EXPECT_EQ(prefs.quietHoursStartHour(), 0);
  EXPECT_EQ(prefs.quietHoursEndHour(), 23);
  store("quietHoursStartHour", 0);
  EXPECT_EQ(prefs.quietHoursStartHour(), 0);
  store("ignoreLimits", false);
  EXPECT_FALSE(prefs.ignoreLimits());
}

TEST_F(PrefsTest, SettingRoundTripsAndClamps) {
  prefs.setSetting(Setting::fixed(5));
  EXPECT_EQ(prefs.object("fixedNits"), PlistValue(12.5));
  EXPECT_EQ(prefs.optionalString("lastOn"), "fixed");
  prefs.setSetting(Setting::fixed(4000));
  EXPECT_EQ(prefs.setting(), Setting::fixed(1000));

  prefs.setSetting(Setting::fixed(80));
  prefs.setSetting(Setting::off());
  EXPECT_EQ(prefs.setting(), Setting::off());
  EXPECT_EQ(prefs.lastOnSetting(), Setting::fixed(80));
  prefs.setSetting(prefs.lastOnSetting());
  EXPECT_EQ(prefs.setting(), Setting::fixed(80));

  prefs.setSetting(Setting::automatic());
  EXPECT_EQ(prefs.optionalString("lastOn"), "automatic");
  EXPECT_EQ(prefs.doubleValue("fixedNits"), 80);
}

TEST_F(PrefsTest, UnrecognisedStoredSettingsReadAutomatic) {
  store("setting", "AUTOMATIC");
  EXPECT_EQ(prefs.setting(), Setting::automatic());
  store("lastOn", "off");
  EXPECT_EQ(prefs.lastOnSetting(), Setting::automatic());
  store("setting", "fixed");
  EXPECT_EQ(prefs.setting(), Setting::fixed(150));
  store("fixedNits", -3);
  EXPECT_EQ(prefs.setting(), Setting::fixed(150));
}

TEST_F(PrefsTest, MigrationTakesTheFirstLegacyDomainOnce) {
  fake.preferences.domains[kLegacyIdentifier1] = {{"setting", "off"}};
  fake.preferences.domains[kLegacyIdentifier2] = {{"setting", "fixed"}};
  prefs.migrateLegacyIfNeeded();
  EXPECT_EQ(prefs.setting(), Setting::off());
  EXPECT_FALSE(fake.preferences.domains.count(kLegacyIdentifier1));
  EXPECT_TRUE(fake.preferences.domains.count(kLegacyIdentifier2));

  fake.preferences.domains[kAppIdentifier] = {{"welcomeShown", true}};
  prefs.migrateLegacyIfNeeded();
  EXPECT_EQ(fake.preferences.domains[kAppIdentifier].size(), 1u);
}

// A store whose whole-domain writes do not land, as when the folder cannot be written.
class UnwritableDomains : public FakePreferenceDomains {
 public:
  void replaceDomain(const std::string&, const PlistDictionary&) override {}
};

TEST(PrefsMigration, KeepsTheLegacyDomainWhenTheCopyDoesNotLand) {
  UnwritableDomains domains;
  domains.domains[kLegacyIdentifier1] = {{"setting", "off"}, {"fixedNits", 80.0}};
  Prefs prefs(domains);
  prefs.migrateLegacyIfNeeded();
  EXPECT_TRUE(domains.removedDomains.empty());
  ASSERT_TRUE(domains.domains.count(kLegacyIdentifier1));
  EXPECT_EQ(domains.domains[kLegacyIdentifier1].size(), 2u);
}

TEST(PrefsFormatHour, WrapsIntoTwelveHourLabels) {
  EXPECT_EQ(Prefs::formatHour(0), "12 AM");
  EXPECT_EQ(Prefs::formatHour(12), "12 PM");
  EXPECT_EQ(Prefs::formatHour(7), "7 AM");
  EXPECT_EQ(Prefs::formatHour(22), "10 PM");
  EXPECT_EQ(Prefs::formatHour(23), "11 PM");
  EXPECT_EQ(Prefs::formatHour(-1), "11 PM");
  EXPECT_EQ(Prefs::formatHour(24), "12 AM");
}

}  // namespace

namespace {

TEST_F(PrefsTest, TheLogoLightAndThePanelPeakReadAsTheUserSetThemOrTheirDefaults) {
  EXPECT_EQ(prefs.logoLight(), std::nullopt);
  EXPECT_EQ(prefs.panelPeakNits(), 500);
  prefs.setLogoLight("dell::kbd_backlight");
  EXPECT_EQ(prefs.logoLight(), "dell::kbd_backlight");
  store("logoLight", "");
  EXPECT_EQ(prefs.logoLight(), std::nullopt) << "an empty name chooses nothing";
  prefs.setLogoLight(std::nullopt);
  EXPECT_FALSE(fake.preferences.domains[kAppIdentifier].count("logoLight"));

  store("panelPeakNits", 350);
  EXPECT_EQ(prefs.panelPeakNits(), 350);
  for (const PlistValue& bad : {PlistValue(0), PlistValue(-400.0), PlistValue(1e9), PlistValue("350")}) {
    store("panelPeakNits", bad);
    EXPECT_EQ(prefs.panelPeakNits(), 500) << bad.dump();
  }
}

}  // namespace
