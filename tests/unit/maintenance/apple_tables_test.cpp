#include "maintenance/apple_tables.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "formats/app_identifier.h"

namespace {

const BrightnessTable kFourRows = {{0, 1}, {10, 2}, {20, 3}, {LogoController::fltMax, 4}};
const BrightnessTable kThreeRows = {{0, 1}, {10, 2}, {LogoController::fltMax, 3}};

class AppleTablesTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  Prefs prefs{fake.preferences};
  LogoController logo{fake.platform};

  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier]["apple." + key] = value;
  }
  std::optional<PlistValue> stored(const std::string& key) { return prefs.object("apple." + key); }
  const BrightnessTable& fallback(const std::string& key) {
    return LogoController::fallbackDefaults().at(key);
  }
};

TEST_F(AppleTablesTest, OnlyAStoredCopyOfMoreThanThreeRowsOfNumbersIsUsed) {
  for (const auto& key : kTableKeys) EXPECT_EQ(Maintenance::appleTable(key, prefs), fallback(key)) << key;

  store(kMappingKey, plistFromTable(kFourRows));
  EXPECT_EQ(Maintenance::appleTable(kMappingKey, prefs), kFourRows);
  store(kMappingKey, plistFromTable(kThreeRows));
  EXPECT_EQ(Maintenance::appleTable(kMappingKey, prefs), fallback(kMappingKey));

  PlistValue withString = plistFromTable(kFourRows);
  withString[2] = PlistValue::array({20, "3"});
  store(kMinRestrictionKey, withString);
  EXPECT_EQ(Maintenance::appleTable(kMinRestrictionKey, prefs), fallback(kMinRestrictionKey));
  withString[2] = "row";
  store(kMinRestrictionKey, withString);
  EXPECT_EQ(Maintenance::appleTable(kMinRestrictionKey, prefs), fallback(kMinRestrictionKey));

  store(kMaxRestrictionKey, "not a table");
  EXPECT_EQ(Maintenance::appleTable(kMaxRestrictionKey, prefs), fallback(kMaxRestrictionKey));
  store(kMaxRestrictionKey, PlistValue::array());
  EXPECT_EQ(Maintenance::appleTable(kMaxRestrictionKey, prefs), fallback(kMaxRestrictionKey));
}

TEST_F(AppleTablesTest, CaptureStoresLiveTablesWithMoreThanThreeRowsElseTheDefaults) {
  fake.brightness.properties[kMappingKey] = plistFromTable(kFourRows);
  fake.brightness.properties[kMinRestrictionKey] = plistFromTable(kThreeRows);
  // The maximum restriction cannot be read at all.
  Maintenance::captureAppleTables(logo, prefs);
  EXPECT_EQ(tableFromPlist(*stored(kMappingKey)), kFourRows);
  EXPECT_EQ(tableFromPlist(*stored(kMinRestrictionKey)), fallback(kMinRestrictionKey));
  EXPECT_EQ(tableFromPlist(*stored(kMaxRestrictionKey)), fallback(kMaxRestrictionKey));
  EXPECT_TRUE(fake.brightness.writes.empty()) << "capturing never writes to the logo";
}

TEST_F(AppleTablesTest, CaptureKeepsAnyArrayAlreadyStoredEvenAnEmptyOne) {
  store(kMappingKey, PlistValue::array());
  store(kMinRestrictionKey, plistFromTable(kThreeRows));
  store(kMaxRestrictionKey, "not an array");
  for (const auto& key : kTableKeys) fake.brightness.properties[key] = plistFromTable(kFourRows);

  Maintenance::captureAppleTables(logo, prefs);
  EXPECT_EQ(stored(kMappingKey), PlistValue::array());
  EXPECT_EQ(tableFromPlist(*stored(kMinRestrictionKey)), kThreeRows);
  EXPECT_EQ(tableFromPlist(*stored(kMaxRestrictionKey)), kFourRows) << "a stored non-array is no copy";
  EXPECT_EQ(Maintenance::appleTable(kMappingKey, prefs), fallback(kMappingKey));

  fake.brightness.properties[kMaxRestrictionKey] = plistFromTable({{0, 9}, {1, 9}, {2, 9}, {3, 9}, {4, 9}});
  Maintenance::captureAppleTables(logo, prefs);
  EXPECT_EQ(tableFromPlist(*stored(kMaxRestrictionKey)), kFourRows) << "a copy is never replaced";
}

TEST_F(AppleTablesTest, RestoreWritesTheSavedTablesThenModeTwoThenNudges) {
  store(kMappingKey, plistFromTable(kFourRows));
  prefs.setSetting(Setting::off());
  Maintenance::restoreAppleBehavior(logo, prefs);

  const auto& writes = fake.brightness.writes;
  ASSERT_EQ(writes.size(), 4u);
  EXPECT_EQ(writes[0].key, kMappingKey);
  EXPECT_EQ(tableFromPlist(writes[0].value), kFourRows);
  EXPECT_EQ(writes[1].key, kMinRestrictionKey);
  EXPECT_EQ(tableFromPlist(writes[1].value), fallback(kMinRestrictionKey));
  EXPECT_EQ(writes[2].key, kMaxRestrictionKey);
  EXPECT_EQ(tableFromPlist(writes[2].value), fallback(kMaxRestrictionKey));
  EXPECT_EQ(writes[3].key, kBacklightModeKey);
  EXPECT_EQ(writes[3].value, PlistValue(2));
  EXPECT_EQ(fake.displayBrightness.sets.size(), 1u);
  EXPECT_EQ(prefs.setting(), Setting::off()) << "the stored setting is left alone";
}

}  // namespace
