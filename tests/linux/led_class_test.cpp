#include "platform/devices/leds/led_class.h"

#include <fnmatch.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <regex>
#include <sstream>

#include "formats/brightness_table.h"
#include "linux/led_fixture.h"
#include "logo/logo_controller.h"
#include "platform/devices/logo_model/logo_service_model.h"

namespace {

std::vector<std::string> names(const std::vector<CandidateLight>& lights) {
  std::vector<std::string> result;
  for (const auto& light : lights) result.push_back(light.name);
  return result;
}

TEST(LedClassTest, ListsLightsByNameWithTheirRangeAndWhetherTheyAreALogo) {
  LedFixture fixture;
  fixture.addLed("tpacpi::lid_logo_dot", 1, 0);
  fixture.addLed("input3::capslock", 1, 0);
  fixture.addLed("dell::kbd_backlight", 2, 1);
  fixture.addLed("broken::no_range", 0, 0);
  TempTree::write(fixture.led("junk::unreadable") + "/brightness", "1\n");

  auto lights = LedClass::list(fixture.sys());
  EXPECT_EQ(names(lights),
            (std::vector<std::string>{"dell::kbd_backlight", "input3::capslock", "tpacpi::lid_logo_dot"}));
  EXPECT_EQ(lights[0].maxBrightness, 2);
  EXPECT_FALSE(lights[0].namesLogo);
  EXPECT_TRUE(lights[2].namesLogo);
  EXPECT_TRUE(LedClass::namesLogo("platform::Logo")) << "case does not matter";
  EXPECT_TRUE(LedClass::namesLogo("x::LOGO"));
  EXPECT_FALSE(LedClass::namesLogo("logo::kbd_backlight")) << "only the function part counts";
  EXPECT_FALSE(LedClass::namesLogo("logo-kbd::capslock"));
  EXPECT_TRUE(LedClass::list(fixture.sys() + "/missing").empty());
}

TEST(LedClassTest, ChoosesTheChosenLightElseTheFirstLogoLightAndNeverAnotherOne) {
  std::vector<CandidateLight> lights{{"a::capslock", 1, false, false},
                                     {"b::kbd_backlight", 255, false, false},
                                     {"c::lid_logo_dot", 1, true, false},
                                     {"d::logo", 255, true, false}};
  EXPECT_EQ(LedClass::choose(lights, std::nullopt)->name, "c::lid_logo_dot");
  EXPECT_EQ(LedClass::choose(lights, "b::kbd_backlight")->name, "b::kbd_backlight");
  EXPECT_FALSE(LedClass::choose(lights, "gone::kbd_backlight")) << "an unplugged choice is no light at all";
  lights.erase(lights.begin() + 2, lights.end());
  EXPECT_FALSE(LedClass::choose(lights, std::nullopt))
      << "caps lock and keyboard lights are taken only by choice";
}

TEST(LedClassTest, ConvertsNitsToLevelsOverTheFullRange) {
  EXPECT_EQ(LedClass::levelFor(0, 1), 0);
  EXPECT_EQ(LedClass::levelFor(0.5, 1), 1) << "an on/off light is lit by any brightness";
  EXPECT_EQ(LedClass::levelFor(0, 255), 0);
  EXPECT_EQ(LedClass::levelFor(1, 255), 1) << "a lit dimmable light is at least at its lowest level";
  EXPECT_EQ(LedClass::levelFor(300, 255), 77);
  EXPECT_EQ(LedClass::levelFor(1000, 255), 255);
  EXPECT_EQ(LedClass::levelFor(5000, 255), 255);
  EXPECT_EQ(LedClass::levelFor(500, 2), 1);
  // The largest ranges a driver may report: rounded only after clamping, never overflowing to 1.
  constexpr long long kLargest = std::numeric_limits<long long>::max();
  EXPECT_EQ(LedClass::levelFor(1000, kLargest), kLargest);
  EXPECT_EQ(LedClass::levelFor(5000, kLargest), kLargest);
  EXPECT_NEAR(static_cast<double>(LedClass::levelFor(500, kLargest)), kLargest / 2.0, 1e4);
  EXPECT_EQ(LedClass::levelFor(1000, kLargest - 1), kLargest - 1);
  EXPECT_DOUBLE_EQ(LedClass::nitsFor(255, 255), 1000);
  EXPECT_NEAR(LedClass::nitsFor(LedClass::levelFor(300, 255), 255), 300, 2);
  EXPECT_EQ(LedClass::nitsFor(0, 255), 0);
}

// The udev rule that opens logo lights to the video group and the application's choice of a logo
// light are one definition: every name gets the same answer from both.
TEST(LedClassTest, TheUdevRuleOpensExactlyTheLightsTakenForLogos) {
  auto rule = Sysfs::readFile(HALOMARK_TEST_DATA "/../../resources/packaging/70-halomark-leds.rules");
  ASSERT_TRUE(rule);
  std::smatch match;
  ASSERT_TRUE(std::regex_search(*rule, match, std::regex("KERNEL==\"([^\"]+)\"")));
  std::vector<std::string> globs;
  std::stringstream alternatives(match[1].str());
  for (std::string glob; std::getline(alternatives, glob, '|');) globs.push_back(glob);
  for (const char* name : {"platform::logo", "x::LOGO", "tpacpi::lid_logo_dot", "asus::Logo_Light",
                           "dell:white:logo", "logo-kbd::capslock", "logo::kbd_backlight", "input3::capslock",
                           "logo", "a:logo", "acme:white:kbd_backlight"}) {
    bool opened = std::any_of(globs.begin(), globs.end(),
                              [&](const std::string& glob) { return ::fnmatch(glob.c_str(), name, 0) == 0; });
    EXPECT_EQ(LedClass::namesLogo(name), opened) << name;
  }
  // udev splits RUN at spaces unless quoted: the device path is quoted wherever it is used.
  EXPECT_EQ(rule->find("/sys%p/brightness\""), std::string::npos) << *rule;
  EXPECT_NE(rule->find("'/sys%p/brightness'"), std::string::npos);
}

TEST(LedClassTest, ReadsTheActiveTrigger) {
  LedFixture fixture;
  fixture.addLed("x::kbd_backlight", 3, 1, "none [timer] heartbeat");
  EXPECT_EQ(LedClass::activeTrigger(fixture.sys(), "x::kbd_backlight"), "timer");
  TempTree::write(fixture.led("x::kbd_backlight") + "/trigger", "none timer\n");
  EXPECT_EQ(LedClass::activeTrigger(fixture.sys(), "x::kbd_backlight"), std::nullopt);
}

PlistDictionary stateWith(const BrightnessTable& mapping, const BrightnessTable& min,
                          const BrightnessTable& max, int mode) {
  return {{kMappingKey, plistFromTable(mapping)},
          {kMinRestrictionKey, plistFromTable(min)},
          {kMaxRestrictionKey, plistFromTable(max)},
          {kBacklightModeKey, mode}};
}

TEST(LogoServiceModelTest, SaysWhichInputsTheLogoFollows) {
  const auto& defaults = LogoController::fallbackDefaults();
  auto automatic = stateWith(defaults.at(kMappingKey), defaults.at(kMinRestrictionKey),
                             defaults.at(kMaxRestrictionKey), 2);
  EXPECT_TRUE(LogoServiceModel::followsDisplay(automatic));
  EXPECT_TRUE(LogoServiceModel::followsAmbientLight(automatic));

  auto fixedWithoutLimits = stateWith(LogoController::flatMapping(300), LogoController::flatRestriction(0),
                                      LogoController::flatRestriction(1000), 2);
  EXPECT_FALSE(LogoServiceModel::followsDisplay(fixedWithoutLimits));
  EXPECT_FALSE(LogoServiceModel::followsAmbientLight(fixedWithoutLimits));
  EXPECT_DOUBLE_EQ(LogoServiceModel::finalNits(fixedWithoutLimits, 250, 100), 300);

  auto fixedWithLimits = stateWith(LogoController::flatMapping(300), defaults.at(kMinRestrictionKey),
                                   defaults.at(kMaxRestrictionKey), 2);
  EXPECT_FALSE(LogoServiceModel::followsDisplay(fixedWithLimits));
  EXPECT_TRUE(LogoServiceModel::followsAmbientLight(fixedWithLimits));

  auto off = automatic;
  off[kBacklightModeKey] = 0;
  EXPECT_FALSE(LogoServiceModel::followsDisplay(off));
  EXPECT_FALSE(LogoServiceModel::followsAmbientLight(off));
  EXPECT_EQ(LogoServiceModel::finalNits(off, 250, 100), 0);
}

}  // namespace
