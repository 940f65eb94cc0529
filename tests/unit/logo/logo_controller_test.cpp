#include "logo/logo_controller.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace {

using Compatibility = LogoController::Compatibility;

PlistValue rows(std::initializer_list<std::pair<double, double>> pairs) {
  PlistValue table = PlistValue::array();
  for (auto [input, output] : pairs) table.push_back(PlistValue::array({input, output}));
  return table;
}

class LogoControllerTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  LogoController logo{fake.platform};

  void SetUp() override {
    auto& p = fake.brightness.properties;
    p[kStateKey] = {{"NitsMultiplier", 1.0}, {"FinalNits", 120.0}};
    p[kBacklightModeKey] = 2;
    p[kMappingKey] = rows({{0, 0}, {100, 100}, {200, 200}, {3.4028234663852886e38, 1000}});
    p[kMinRestrictionKey] = rows({{0, 10}, {3.4028234663852886e38, 10}});
    p[kMaxRestrictionKey] = rows({{0, 1000}, {3.4028234663852886e38, 1000}});
  }
  std::vector<PlistValue> modeWrites() { return fake.brightness.writesOf(kBacklightModeKey); }
};

TEST_F(LogoControllerTest, CompatibleMachineWritesBackTheModeItReadAndNothingElse) {
  fake.brightness.properties[kBacklightModeKey] = 1;
  EXPECT_EQ(logo.checkCompatibility(), Compatibility::ok);
  ASSERT_EQ(fake.brightness.writes.size(), 1u);
  EXPECT_EQ(fake.brightness.writes[0].key, kBacklightModeKey);
  EXPECT_EQ(fake.brightness.writes[0].value, PlistValue(1));
}

TEST_F(LogoControllerTest, MissingHardwareDecidesBeforeAnythingElse) {
  fake.logoHardware.present = false;
  EXPECT_EQ(logo.checkCompatibility(), Compatibility::noLogoHardware);
  fake.brightness.clientExists = false;
  EXPECT_EQ(logo.checkCompatibility(), Compatibility::noLogoHardware);
  EXPECT_TRUE(fake.brightness.writes.empty());
}

TEST_F(LogoControllerTest, EachFailingStepOfTheCheckMeansControlsMissing) {
  struct Step {
    const char* name;
    std::function<void(FakePlatform&)> breakIt;
    bool failsBeforeTheWrite;
  };
  std::vector<Step> steps = {
      {"no client", [](FakePlatform& f) { f.brightness.clientExists = false; }, true},
      {"cannot copy properties", [](FakePlatform& f) { f.brightness.respondsToCopy = false; }, true},
      {"no live state", [](FakePlatform& f) { f.brightness.properties.erase(kStateKey); }, true},
      {"null live state", [](FakePlatform& f) { f.brightness.properties[kStateKey] = nullptr; }, true},
      {"no mode", [](FakePlatform& f) { f.brightness.properties.erase(kBacklightModeKey); }, true},
      {"mode 3", [](FakePlatform& f) { f.brightness.properties[kBacklightModeKey] = 3; }, true},
      {"mapping missing", [](FakePlatform& f) { f.brightness.properties.erase(kMappingKey); }, true},
      {"minimum unreadable", [](FakePlatform& f) { f.brightness.properties[kMinRestrictionKey] = "x"; },
       true},
      {"maximum missing", [](FakePlatform& f) { f.brightness.properties.erase(kMaxRestrictionKey); }, true},
      {"no setter", [](FakePlatform& f) { f.brightness.hasSetter = false; }, false},
      {"write refused", [](FakePlatform& f) { f.brightness.acceptWrites = false; }, false},
      {"reads back another mode", [](FakePlatform& f) { f.brightness.modeReadBack = 0; }, false},
      {"reads back an invalid mode", [](FakePlatform& f) { f.brightness.modeReadBack = 7; }, false},
  };
  for (const auto& step : steps) {
    FakePlatform f;
    f.brightness.properties = fake.brightness.properties;
    step.breakIt(f);
    LogoController controller(f.platform);
    EXPECT_EQ(controller.checkCompatibility(), Compatibility::controlsMissing) << step.name;
    if (step.failsBeforeTheWrite) {
      EXPECT_TRUE(f.brightness.writes.empty())
          << step.name << ": nothing is written before the tables are read";
    }
  }
}

TEST_F(LogoControllerTest, WithoutAClientEveryOperationFoldsIntoNone) {
  fake.brightness.clientExists = false;
  EXPECT_FALSE(logo.isAvailable());
  EXPECT_FALSE(logo.table(kMappingKey));
  EXPECT_FALSE(logo.mode());
  EXPECT_FALSE(logo.stateValue("FinalNits"));
  EXPECT_FALSE(logo.setProperty(2, kBacklightModeKey));
  logo.setTable(kMappingKey, LogoController::flatMapping(50));
  EXPECT_TRUE(fake.brightness.writes.empty());
}

TEST_F(LogoControllerTest, ModeIsZeroOneOrTwoOnly) {
  auto modeFor = [&](const PlistValue& stored) {
    fake.brightness.properties[kBacklightModeKey] = stored;
    return logo.mode();
  };
  EXPECT_EQ(modeFor(0), LogoController::Mode::off);
  EXPECT_EQ(modeFor(1), LogoController::Mode{1});
  EXPECT_EQ(modeFor(2), LogoController::Mode::tableDriven);
  EXPECT_EQ(modeFor(2.0), LogoController::Mode::tableDriven);
  EXPECT_EQ(modeFor(3), std::nullopt);
  EXPECT_EQ(modeFor(-1), std::nullopt);
  EXPECT_EQ(modeFor(1.5), std::nullopt);
  EXPECT_EQ(modeFor("2"), std::nullopt);
  EXPECT_EQ(modeFor(true), std::nullopt);
}

TEST_F(LogoControllerTest, TablesAreArraysOfArraysOfNumbersAndAnEmptyOneIsReadable) {
  fake.brightness.properties[kMappingKey] = PlistValue::array();
  auto empty = logo.table(kMappingKey);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
  EXPECT_EQ(logo.checkCompatibility(), Compatibility::ok);

  fake.brightness.properties[kMappingKey] =
      PlistValue::array({PlistValue::array({0, 1}), PlistValue::array({2, "3"})});
  EXPECT_FALSE(logo.table(kMappingKey));
  fake.brightness.properties[kMappingKey] = PlistValue::array({1, 2});
  EXPECT_FALSE(logo.table(kMappingKey));
  fake.brightness.properties[kMappingKey] = PlistValue::object();
  EXPECT_FALSE(logo.table(kMappingKey));
  fake.brightness.properties[kMappingKey] = rows({{0, 5}, {10, 7.5}});
  EXPECT_EQ(logo.table(kMappingKey), (BrightnessTable{{0, 5}, {10, 7.5}}));
}

TEST_F(LogoControllerTest, SetTableWritesRowsOfReals) {
  logo.setTable(kMaxRestrictionKey, {{0, 1000}, {LogoController::fltMax, 1000}});
  auto written = fake.brightness.writesOf(kMaxRestrictionKey);
  ASSERT_EQ(written.size(), 1u);
  EXPECT_TRUE(written[0][0][0].is_number_float());
  EXPECT_EQ(written[0][1][0].get<double>(), LogoController::fltMax);
}

TEST_F(LogoControllerTest, StateValueNeedsADictionaryWithANumericMember) {
  EXPECT_EQ(logo.stateValue("FinalNits"), 120.0);
  EXPECT_EQ(logo.stateValue("Missing"), std::nullopt);
  fake.brightness.properties[kStateKey] = {{"NitsMultiplier", "2"}};
  EXPECT_EQ(logo.stateValue("NitsMultiplier"), std::nullopt);
  fake.brightness.properties[kStateKey] = {{"NitsMultiplier", 2}};
  EXPECT_EQ(logo.stateValue("NitsMultiplier"), 2.0);
  fake.brightness.properties[kStateKey] = PlistValue::array({1, 2});
  EXPECT_EQ(logo.stateValue("NitsMultiplier"), std::nullopt);
  EXPECT_TRUE(logo.isAvailable()) << "any value of the live state makes the client available";
  fake.brightness.properties[kStateKey] = 4;
  EXPECT_EQ(logo.stateValue("NitsMultiplier"), std::nullopt);
}

TEST_F(LogoControllerTest, ScalingDividesByAPositiveMultiplierOnly) {
  fake.brightness.properties[kStateKey] = {{"NitsMultiplier", 2.0}};
  EXPECT_EQ(logo.scaled(300), 150);
  fake.brightness.properties[kStateKey] = {{"NitsMultiplier", 0.0}};
  EXPECT_EQ(logo.scaled(300), 300);
  fake.brightness.properties[kStateKey] = {{"NitsMultiplier", -4.0}};
  EXPECT_EQ(logo.scaled(300), 300);
  fake.brightness.properties[kStateKey] = PlistValue::object();
  EXPECT_EQ(logo.scaled(300), 300);
  fake.brightness.properties.erase(kStateKey);
  EXPECT_EQ(logo.scaled(300), 300);
}

TEST_F(LogoControllerTest, FlatTables) {
  EXPECT_EQ(LogoController::flatMapping(0), (BrightnessTable{{0, 0}, {0.1, 0}, {LogoController::fltMax, 0}}));
  EXPECT_EQ(LogoController::flatMapping(80),
            (BrightnessTable{{0, 0}, {0.1, 80}, {LogoController::fltMax, 80}}));
  EXPECT_EQ(LogoController::flatRestriction(1000),
            (BrightnessTable{{0, 1000}, {LogoController::fltMax, 1000}}));
  EXPECT_EQ(LogoController::flatRestriction(0), (BrightnessTable{{0, 0}, {LogoController::fltMax, 0}}));
  EXPECT_EQ(LogoController::fltMax, static_cast<double>(std::numeric_limits<float>::max()));
}

TEST_F(LogoControllerTest, FallbackDefaultsAreTheBuiltInTables) {
  const auto& defaults = LogoController::fallbackDefaults();
  ASSERT_EQ(defaults.size(), 3u);
  EXPECT_EQ(defaults.at(kMappingKey).size(), 10u);
  EXPECT_EQ(defaults.at(kMappingKey)[3], (std::vector<double>{34.12, 28.62}));
  EXPECT_EQ(
      defaults.at(kMinRestrictionKey),
      (BrightnessTable{{0, 12.5}, {190, 150}, {560, 300}, {1350, 1000}, {LogoController::fltMax, 1000}}));
  EXPECT_EQ(defaults.at(kMaxRestrictionKey),
            (BrightnessTable{{0, 180}, {190, 1000}, {LogoController::fltMax, 1000}}));
}

TEST_F(LogoControllerTest, NudgeWritesBackTheBuiltInDisplaysLevel) {
  fake.displays.online = {4, 9};
  fake.displays.builtIn = {9};
  fake.displayBrightness.level = 0.42f;
  logo.nudgeDisplayBrightness();
  EXPECT_EQ(fake.displayBrightness.gets, (std::vector<DisplayID>{9}));
  ASSERT_EQ(fake.displayBrightness.sets.size(), 1u);
  EXPECT_EQ(fake.displayBrightness.sets[0], (std::pair<DisplayID, float>{9, 0.42f}));
}

TEST_F(LogoControllerTest, NudgeDoesNothingWhenGetFailsOrThereIsNoBuiltInDisplay) {
  fake.displayBrightness.getStatus = -1;
  logo.nudgeDisplayBrightness();
  EXPECT_EQ(fake.displayBrightness.gets.size(), 1u);
  EXPECT_TRUE(fake.displayBrightness.sets.empty());

  fake.displayBrightness.getStatus = 0;
  fake.displays.builtIn = {};
  logo.nudgeDisplayBrightness();
  fake.displays.builtIn = {1};
  fake.displays.failList = true;
  logo.nudgeDisplayBrightness();
  EXPECT_EQ(fake.displayBrightness.gets.size(), 1u);
  EXPECT_TRUE(fake.displayBrightness.sets.empty());
}

TEST_F(LogoControllerTest, MissingDisplayServiceIsResolvedOnceAndNeverRetried) {
  fake.displayBrightness.available = false;
  logo.nudgeDisplayBrightness();
  fake.displayBrightness.available = true;
  logo.nudgeDisplayBrightness();
  EXPECT_EQ(fake.displayBrightness.loads, 1);
  EXPECT_TRUE(fake.displayBrightness.gets.empty());
  EXPECT_TRUE(fake.displayBrightness.sets.empty());
}

TEST_F(LogoControllerTest, OnlyTheFirstSixteenOnlineDisplaysAreExamined) {
  fake.displays.online.clear();
  for (DisplayID id = 1; id <= 17; ++id) fake.displays.online.push_back(id);
  fake.displays.builtIn = {17};
  EXPECT_EQ(logo.builtInDisplay(), std::nullopt);
  fake.displays.builtIn = {16, 17};
  EXPECT_EQ(logo.builtInDisplay(), 16u);
  fake.displays.builtIn = {3, 2};
  EXPECT_EQ(logo.builtInDisplay(), 2u) << "the first built-in one in list order";
}

}  // namespace
