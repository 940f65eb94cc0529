#include "platform/devices/emulated/emulated_logo_device.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "fakes/fake_logo_service.h"
#include "fakes/temp_tree.h"
#include "linux/file_events.h"
#include "logo/logo_controller.h"
#include "platform/devices/emulated/emulated_logo_state.h"

namespace {

class EmulatedLogoDeviceTest : public ::testing::Test {
 protected:
  TempTree scratch;
  std::string path = scratch / "runtime/halomark/logo-device.json";
  EmulatedLogoDevice device{path};
  FakeDisplays displays;

  double finalNits() { return device.copyProperty(kStateKey)->at("FinalNits").get<double>(); }
  void change(const EmulatedLogoDevice::Change& edit) { ASSERT_EQ(device.modify(edit), std::nullopt); }
};

TEST_F(EmulatedLogoDeviceTest, PresentExactlyWhileTheStateFileExists) {
  EXPECT_FALSE(device.hasLogoBacklight());
  EXPECT_FALSE(device.exists());
  EXPECT_FALSE(device.load());
  EXPECT_FALSE(device.copyProperty(kStateKey));
  EXPECT_EQ(device.setProperty(0, kBacklightModeKey), false);
  float level = 0;
  EXPECT_NE(device.get(1, level), 0);
  EXPECT_NE(device.set(1, 0.5f), 0);
  EXPECT_TRUE(device.modify([](PlistDictionary&) {})) << "changing an absent device fails";
  EXPECT_FALSE(std::filesystem::exists(path)) << "and does not create it";

  ASSERT_EQ(device.create(), std::nullopt);
  EXPECT_TRUE(device.hasLogoBacklight());
  EXPECT_TRUE(device.exists());
  EXPECT_TRUE(device.load());
  EXPECT_EQ(std::filesystem::status(scratch / "runtime/halomark").permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);

  ASSERT_EQ(device.remove(), std::nullopt);
  EXPECT_FALSE(device.hasLogoBacklight());
  EXPECT_FALSE(std::filesystem::exists(path + ".lock"));
}

TEST_F(EmulatedLogoDeviceTest, StartsWithPlatformTablesThatDifferFromTheBuiltInDefaults) {
  ASSERT_EQ(device.create(), std::nullopt);
  for (const auto& key : kTableKeys) {
    auto table = tableFromPlist(*device.copyProperty(key));
    ASSERT_TRUE(table) << key;
    EXPECT_GT(table->size(), 3u) << key << " must be usable as the platform's own table";
    EXPECT_NE(*table, LogoController::fallbackDefaults().at(key)) << key;
    EXPECT_EQ(table->front()[0], 0);
    EXPECT_EQ(table->back()[0], LogoController::fltMax);
  }
  EXPECT_EQ(device.copyProperty(kBacklightModeKey), PlistValue(2));
  EXPECT_EQ(device.copyProperty(kStateKey)->at("NitsMultiplier"), PlistValue(1.0));
  EXPECT_FALSE(device.copyProperty("SomethingElse"));
  float level = 0;
  EXPECT_EQ(device.get(1, level), 0);
  EXPECT_EQ(level, 0.5f);
}

TEST_F(EmulatedLogoDeviceTest, FinalNitsFollowsMappingMultiplierAndRestrictions) {
  ASSERT_EQ(device.create(), std::nullopt);
  // 0.5 × 500 = 250 display nits: the mapping gives 180 + 50/200 × 240 = 240; at 100 lux the
  // restrictions are 60 and 500 + 50/150 × 500.
  EXPECT_DOUBLE_EQ(finalNits(), 240);
  change([](PlistDictionary& s) { s[EmulatedLogoState::kMultiplier] = 2.0; });
  EXPECT_DOUBLE_EQ(finalNits(), 480);
  change([](PlistDictionary& s) { s[EmulatedLogoState::kDisplayLevel] = 1.0; });
  EXPECT_NEAR(finalNits(), 500 + 50.0 / 150 * 500, 1e-9) << "held at the maximum restriction";
  change([](PlistDictionary& s) { s[EmulatedLogoState::kAmbientLux] = 0.0; });
  EXPECT_DOUBLE_EQ(finalNits(), 250);
  change([](PlistDictionary& s) {
    s[EmulatedLogoState::kDisplayLevel] = 0.0;
    s[EmulatedLogoState::kAmbientLux] = 100.0;
  });
  EXPECT_DOUBLE_EQ(finalNits(), 60) << "held at the minimum restriction";

  // What the product writes for a fixed 300 nits with limits lifted.
  ASSERT_EQ(device.set(1, 0.8f), 0);
  EXPECT_EQ(device.setProperty(plistFromTable(LogoController::flatMapping(150)), kMappingKey), true);
  EXPECT_EQ(device.setProperty(plistFromTable(LogoController::flatRestriction(0)), kMinRestrictionKey), true);
  EXPECT_EQ(device.setProperty(plistFromTable(LogoController::flatRestriction(1000)), kMaxRestrictionKey),
            true);
  EXPECT_DOUBLE_EQ(finalNits(), 300);
  EXPECT_EQ(device.setProperty(0, kBacklightModeKey), true);
  EXPECT_EQ(finalNits(), 0);
  EXPECT_EQ(device.copyProperty(kBacklightModeKey), PlistValue(0));

  change([](PlistDictionary& s) { s.erase(EmulatedLogoState::kMultiplier); });
  EXPECT_FALSE(device.copyProperty(kStateKey)->contains("NitsMultiplier"));
}

TEST_F(EmulatedLogoDeviceTest, RefusesMalformedValuesAndStoresTablesAsReals) {
  ASSERT_EQ(device.create(), std::nullopt);
  auto before = device.state();
  EXPECT_EQ(device.setProperty("rows", kMappingKey), false);
  EXPECT_EQ(device.setProperty(PlistValue::array({PlistValue::array({0, "x"})}), kMappingKey), false);
  EXPECT_EQ(device.setProperty(PlistValue::array({PlistValue::array({0})}), kMinRestrictionKey), false);
  EXPECT_EQ(device.setProperty(PlistValue::array({1, 2}), kMaxRestrictionKey), false);
  EXPECT_EQ(device.setProperty(3, kBacklightModeKey), false);
  EXPECT_EQ(device.setProperty("2", kBacklightModeKey), false);
  EXPECT_EQ(device.setProperty(2.5, kBacklightModeKey), false);
  EXPECT_EQ(device.setProperty(2.0, "NitsMultiplier"), false);
  EXPECT_EQ(device.setProperty(PlistValue::object(), kStateKey), false);
  EXPECT_EQ(device.state(), before);

  EXPECT_EQ(device.setProperty(PlistValue::array(), kMappingKey), true) << "an empty table is a table";
  EXPECT_EQ(device.copyProperty(kMappingKey), PlistValue::array());
  EXPECT_EQ(device.setProperty(PlistValue::array({PlistValue::array({0, 5}), PlistValue::array({100, 7})}),
                               kMappingKey),
            true);
  EXPECT_TRUE((*device.copyProperty(kMappingKey))[1][1].is_number_float());
}

TEST_F(EmulatedLogoDeviceTest, ControllerSeesACompatibleDeviceAndABrokenMode) {
  LogoController absent(device, device, device, displays);
  EXPECT_EQ(absent.checkCompatibility(), LogoController::Compatibility::noLogoHardware);

  ASSERT_EQ(device.create(), std::nullopt);
  LogoController logo(device, device, device, displays);
  EXPECT_EQ(logo.checkCompatibility(), LogoController::Compatibility::ok);
  EXPECT_EQ(logo.stateValue("NitsMultiplier"), 1.0);
  logo.nudgeDisplayBrightness();
  float level = 0;
  EXPECT_EQ(device.get(1, level), 0);
  EXPECT_EQ(level, 0.5f) << "the nudge writes back the same level";

  change([](PlistDictionary& s) {
    s[kBacklightModeKey] = 3;
    s[EmulatedLogoState::kModeStuck] = true;
  });
  EXPECT_EQ(device.setProperty(2, kBacklightModeKey), true);
  EXPECT_EQ(device.copyProperty(kBacklightModeKey), PlistValue(3)) << "a broken mode keeps reading 3";
  EXPECT_EQ(logo.checkCompatibility(), LogoController::Compatibility::controlsMissing);

  change([](PlistDictionary& s) { s[kMappingKey] = "tampered"; });
  change([](PlistDictionary& s) {
    s[kBacklightModeKey] = 2;
    s[EmulatedLogoState::kModeStuck] = false;
  });
  EXPECT_EQ(logo.checkCompatibility(), LogoController::Compatibility::controlsMissing) << "unreadable table";
}

// One apply is one change of the state file: the tables wait for the mode, which takes them along,
// and the nudge that follows leaves the file alone.
TEST_F(EmulatedLogoDeviceTest, TablesAndModeReachTheStateFileAsOneChange) {
  ASSERT_EQ(device.create(), std::nullopt);
  FileEvents replacements(path, IN_MOVED_TO);
  displays.online = {1};
  displays.builtIn = {1};
  LogoController logo(device, device, device, displays);
  for (const auto& key : kTableKeys) logo.setTable(key, LogoController::flatRestriction(42));
  EXPECT_EQ(replacements.count(), 0);
  EXPECT_EQ(logo.table(kMaxRestrictionKey), LogoController::flatRestriction(42)) << "read back at once";
  EXPECT_NE(device.state()->at(kMaxRestrictionKey), plistFromTable(LogoController::flatRestriction(42)));
  EXPECT_TRUE(logo.setMode(LogoController::Mode::off));
  logo.nudgeDisplayBrightness();
  EXPECT_EQ(replacements.count(), 1);
  EXPECT_EQ(device.state()->at(kMaxRestrictionKey), plistFromTable(LogoController::flatRestriction(42)));
  EXPECT_EQ(device.state()->at(kBacklightModeKey), 0);

  // Written again unchanged, nothing is stored; another process's writes are never lost to held
  // tables, which are gone once the mode has taken them.
  for (const auto& key : kTableKeys) logo.setTable(key, LogoController::flatRestriction(42));
  logo.setMode(LogoController::Mode::off);
  EXPECT_EQ(replacements.count(), 1);
  change([](PlistDictionary& s) { s[kMappingKey] = plistFromTable(LogoController::flatMapping(7)); });
  EXPECT_EQ(logo.table(kMappingKey), LogoController::flatMapping(7));
}

TEST_F(EmulatedLogoDeviceTest, EveryProcessSharesOneDevice) {
  ASSERT_EQ(device.create(), std::nullopt);
  EmulatedLogoDevice other(path);
  EXPECT_EQ(other.setProperty(0, kBacklightModeKey), true);
  EXPECT_EQ(device.copyProperty(kBacklightModeKey), PlistValue(0));
  ASSERT_EQ(device.set(1, 2.0f), 0);
  float level = 0;
  EXPECT_EQ(other.get(1, level), 0);
  EXPECT_EQ(level, 1.0f) << "levels are held within 0...1";

  TempTree::write(path, "not json");
  EXPECT_TRUE(device.exists());
  EXPECT_FALSE(device.copyProperty(kMappingKey));
  ASSERT_EQ(device.create(), std::nullopt);
  EXPECT_EQ(TempTree::read(path + ".corrupt"), "not json");
}

// The state file sits where a link could be planted for it: the device refuses to write through
// one, says so, and leaves what it points to alone.
TEST_F(EmulatedLogoDeviceTest, APlantedLinkIsRefusedAndItsTargetKept) {
  std::string notes = scratch.makeFile("notes.txt", "my notes\n");
  std::string folder = std::filesystem::path(path).parent_path().string();
  std::filesystem::create_directories(folder);
  ::chmod(folder.c_str(), 0700);
  scratch.makeLink("runtime/halomark/logo-device.json", notes);
  EXPECT_EQ(device.create(), "refusing to follow the symbolic link at " + path);
  EXPECT_FALSE(device.exists());
  EXPECT_EQ(device.setProperty(0, kBacklightModeKey), false);
  EXPECT_EQ(TempTree::read(notes), "my notes\n");

  std::filesystem::remove(path);
  std::filesystem::remove(path + ".lock");
  scratch.makeLink("runtime/halomark/logo-device.json.lock", notes);
  EXPECT_EQ(device.create(), "refusing to follow the symbolic link at " + path + ".lock");
  EXPECT_EQ(TempTree::read(notes), "my notes\n");
}

TEST_F(EmulatedLogoDeviceTest, StateIsWrittenOnlyIntoAPrivateFolderOfTheUsersOwn) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  std::filesystem::create_directories(folder);
  ::chmod(folder.c_str(), 0777);
  EXPECT_EQ(device.create(), "refusing to write there: " + folder + " can be entered by other users");
  EXPECT_FALSE(std::filesystem::exists(path));
  ::chmod(folder.c_str(), 0700);
  EXPECT_EQ(device.create(), std::nullopt);
}

TEST(EmulatedLogoDeviceDefault, AFolderThatIsNotTheUsersOwnAndPrivateGivesWayToTheCache) {
  TempTree scratch;
  std::string runtime = scratch / "run", cache = scratch / "cache";
  std::filesystem::create_directories(runtime);
  auto saved = [](const char* name) {
    return std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
  };
  auto savedRuntime = saved("XDG_RUNTIME_DIR"), savedCache = saved("XDG_CACHE_HOME");
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  scratch.makeLink("run/halomark", scratch / "elsewhere");
  EXPECT_EQ(EmulatedLogoDevice::defaultStatePath(), cache + "/halomark/logo-device.json");
  std::filesystem::remove(runtime + "/halomark");
  std::filesystem::create_directory(runtime + "/halomark");
  ::chmod((runtime + "/halomark").c_str(), 0770);
  EXPECT_EQ(EmulatedLogoDevice::defaultStatePath(), cache + "/halomark/logo-device.json");
  ::chmod((runtime + "/halomark").c_str(), 0755);
  EXPECT_EQ(EmulatedLogoDevice::defaultStatePath(), runtime + "/halomark/logo-device.json")
      << "a folder others may only read is closed to them";
  // Another user's folder, where the test may hand one over.
  if (::geteuid() == 0 && ::chown((runtime + "/halomark").c_str(), 65534, 65534) == 0) {
    EXPECT_EQ(EmulatedLogoDevice::defaultStatePath(), cache + "/halomark/logo-device.json");
  }
  for (auto& [name, value] : {std::pair{"XDG_RUNTIME_DIR", savedRuntime}, {"XDG_CACHE_HOME", savedCache}}) {
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
}

TEST(EmulatedLogoDeviceDefault, LivesInTheRuntimeDirectoryElseTheCache) {
  auto saved = [](const char* name) {
    return std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
  };
  auto restore = [](const char* name, const std::optional<std::string>& value) {
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  };
  auto runtime = saved("XDG_RUNTIME_DIR"), cache = saved("XDG_CACHE_HOME"), home = saved("HOME");
  setenv("HOME", "/home/someone", 1);
  setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
  setenv("XDG_CACHE_HOME", "/var/cache/someone", 1);
  EXPECT_EQ(EmulatedLogoDevice::defaultStatePath(), "/run/user/1000/halomark/logo-device.json");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(EmulatedLogoDevice::defaultStatePath(), "/var/cache/someone/halomark/logo-device.json");
  unsetenv("XDG_CACHE_HOME");
  EXPECT_EQ(EmulatedLogoDevice::defaultStatePath(), "/home/someone/.cache/halomark/logo-device.json");
  restore("XDG_RUNTIME_DIR", runtime);
  restore("XDG_CACHE_HOME", cache);
  restore("HOME", home);
}

}  // namespace
