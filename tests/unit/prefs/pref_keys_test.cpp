#include "prefs/pref_keys.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"
#include "prefs/prefs.h"

namespace {

class PrefKeysTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  Prefs prefs{fake.preferences};
  PlistDictionary& stored() { return fake.preferences.domains[kAppIdentifier]; }
};

TEST(PrefKeyTableTest, HoldsEveryKeyOnceInTheOrderOfTheEnumeration) {
  std::set<std::string> names;
  for (std::size_t index = 0; index < prefKeyTable().size(); ++index) {
    const auto& info = prefKeyTable()[index];
    EXPECT_EQ(static_cast<std::size_t>(info.key), index) << info.name;
    EXPECT_EQ(&prefKeyInfo(info.key), &info);
    EXPECT_TRUE(names.insert(info.name).second) << "twice: " << info.name;
    EXPECT_EQ(info.defaultValue.is_null(), info.reader == PrefReader::raw) << info.name;
  }
  EXPECT_EQ(prefKeyTable().size(), static_cast<std::size_t>(PrefKey::appleMaxRestriction) + 1);
  EXPECT_EQ(prefKeyInfo(PrefKey::offAppBundleIDs).name, std::string("offAppBundleIDs"));
  EXPECT_EQ(prefKeyInfo(PrefKey::appleMapping).name, std::string("apple.LEPWMBrightnessNitsMapping"));
}

TEST_F(PrefKeysTest, MissingKeysReadTheirDefaults) {
  EXPECT_EQ(prefs.value(PrefKeys::setting), "automatic");
  EXPECT_EQ(prefs.value(PrefKeys::fixedNits), 150);
  EXPECT_FALSE(prefs.value(PrefKeys::welcomeShown));
  EXPECT_TRUE(prefs.value(PrefKeys::offWhenLocked));
  EXPECT_FALSE(prefs.value(PrefKeys::offOnBattery));
  EXPECT_EQ(prefs.value(PrefKeys::offBelowPercent), 0);
  EXPECT_EQ(prefs.value(PrefKeys::quietHoursStartHour), 22);
  EXPECT_EQ(prefs.value(PrefKeys::quietHoursEndHour), 7);
  EXPECT_EQ(prefs.value(PrefKeys::quietHoursAction), "off");
  EXPECT_TRUE(prefs.value(PrefKeys::offAppBundleIDs).empty());
  EXPECT_EQ(prefs.value(PrefKeys::signalStyle), "breathing");
  EXPECT_EQ(prefs.value(PrefKeys::signalTimeoutMinutes), 10);
  EXPECT_EQ(prefs.value(PrefKeys::quitBehavior), "restore");
  EXPECT_FALSE(prefs.value(PrefKeys::appleMapping));
}

TEST_F(PrefKeysTest, EachReaderAppliesItsRule) {
  // Converted: numbers read as booleans and reals as integers, as the domain's typed reads do.
  stored()["offOnBattery"] = 1;
  stored()["offBelowPercent"] = 20.7;
  // Only a boolean counts for the keys that default to true.
  stored()["offWhenLocked"] = 0;
  stored()["hotKeyEnabled"] = false;
  // Hours are clamped once anything is stored.
  stored()["quietHoursStartHour"] = -5;
  stored()["quietHoursEndHour"] = 30;
  // Values below the least sensible one give the default.
  stored()["signalTimeoutMinutes"] = 0;
  stored()["fixedNits"] = -3.0;
  EXPECT_TRUE(prefs.value(PrefKeys::offOnBattery));
  EXPECT_EQ(prefs.value(PrefKeys::offBelowPercent), 20);
  EXPECT_TRUE(prefs.value(PrefKeys::offWhenLocked));
  EXPECT_FALSE(prefs.value(PrefKeys::hotKeyEnabled));
  EXPECT_EQ(prefs.value(PrefKeys::quietHoursStartHour), 0);
  EXPECT_EQ(prefs.value(PrefKeys::quietHoursEndHour), 23);
  EXPECT_EQ(prefs.value(PrefKeys::signalTimeoutMinutes), 10);
  EXPECT_EQ(prefs.value(PrefKeys::fixedNits), 150);
  stored()["signalTimeoutMinutes"] = 3;
  stored()["fixedNits"] = 80.5;
  EXPECT_EQ(prefs.value(PrefKeys::signalTimeoutMinutes), 3);
  EXPECT_EQ(prefs.value(PrefKeys::fixedNits), 80.5);
}

TEST_F(PrefKeysTest, WritesStoreTheKeysOwnType) {
  prefs.set(PrefKeys::offWithExternalDisplay, true);
  prefs.set(PrefKeys::offBelowPercent, 15);
  prefs.set(PrefKeys::fixedNits, 200);
  prefs.set(PrefKeys::quietHoursAction, "dim");
  prefs.set(PrefKeys::offAppBundleIDs, {"org.example.Editor", "org.example.Viewer"});
  prefs.set(PrefKeys::appleMinRestriction, PlistValue::array({PlistValue::array({0.0, 1.5})}));
  EXPECT_TRUE(stored().at("offWithExternalDisplay").is_boolean());
  EXPECT_TRUE(stored().at("offBelowPercent").is_number_integer());
  EXPECT_TRUE(stored().at("fixedNits").is_number_float()) << "a real even when given a whole number";
  EXPECT_EQ(stored().at("quietHoursAction"), "dim");
  EXPECT_EQ(prefs.value(PrefKeys::offAppBundleIDs),
            (std::vector<std::string>{"org.example.Editor", "org.example.Viewer"}));
  EXPECT_EQ(stored().at("apple.LEPWMLuxToMinNitsRestrictionMapping")[0][1], 1.5);
  prefs.remove(PrefKey::offBelowPercent);
  EXPECT_FALSE(stored().contains("offBelowPercent"));
}

}  // namespace
