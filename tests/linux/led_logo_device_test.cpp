// The real logo light on a fixture sysfs tree, driven by the application on the virtual clock:
// setting changes, rules, the watchdog, the attention signal and quitting move the light's level.
#include "platform/devices/leds/led_logo_device.h"

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sstream>

#include "app/app_delegate.h"
#include "cli/cli.h"
#include "fakes/fake_platform.h"
#include "linux/dbusmock_bus.h"
#include "linux/file_events.h"
#include "linux/led_fixture.h"
#include "platform/devices/leds/led_class.h"
#include "platform/devices/leds/logo_device_choice.h"

namespace {

const std::string kLogo = "platform::logo";

class LedLogoDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ensureCoreApplication();
    fixture.addBacklight("intel_backlight", "raw", 1000, 500);
  }
  void TearDown() override {
    delegate.reset();
    device.reset();
    for (int fd : fds) ::close(fd);
  }

  LedLogoDevice& make(DBusBuses buses = unreachableBuses(), bool withUevents = false) {
    std::function<int()> opener = [] { return -1; };
    if (withUevents) {
      int pair[2];
      EXPECT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0, pair), 0);
      fds.push_back(pair[1]);
      opener = [fd = pair[0]] { return fd; };
    }
    device = std::make_unique<LedLogoDevice>(
        LedLogoDevice::Config{fixture.sys(), fixture.runtime(), std::move(buses), opener, fake.clock,
                              [this] { return chosen; }, [] { return 500.0; }});
    platform = std::make_unique<Platform>(fake.with(
        {.brightness = device.get(), .logoHardware = device.get(), .displayBrightness = device.get()}));
    return *device;
  }
  AppDelegate& launch() {
    delegate = std::make_shared<AppDelegate>(*platform);
    delegate->applicationDidFinishLaunching();
    return *delegate;
  }
  void setting(const Setting& setting) {
    delegate->prefs().setSetting(setting);
    delegate->apply();
  }
  // A uevent of the backlight class, as the kernel sends when the panel's brightness changes.
  bool backlightUevent() {
    std::string datagram("change@/devices/backlight\0SUBSYSTEM=backlight\0", 45);
    return ::send(fds.back(), datagram.data(), datagram.size(), 0) > 0;
  }
  long long level(const std::string& name = kLogo) { return fixture.brightness(name); }

  LedFixture fixture;
  FakePlatform fake;
  std::optional<std::string> chosen;
  std::unique_ptr<LedLogoDevice> device;
  std::unique_ptr<Platform> platform;
  std::shared_ptr<AppDelegate> delegate;
  std::vector<int> fds;
};

TEST_F(LedLogoDeviceTest, SettingsRulesAndTheWatchdogMoveTheLightAndQuitGivesItBack) {
  fixture.addLed(kLogo, 255, 40, "none [timer] pattern");
  make();
  auto& app = launch();
  ASSERT_EQ(app.compatibility(), LogoController::Compatibility::ok);
  // Automatic at 250 panel nits and the default 100 lux: 253 nits.
  EXPECT_EQ(level(), 65);
  EXPECT_EQ(fixture.trigger(kLogo), "none") << "a trigger would keep driving the light";

  setting(Setting::fixed(300));
  EXPECT_EQ(level(), 77);
  EXPECT_NEAR(*app.logo().stateValue("FinalNits"), 300, 2);
  setting(Setting::off());
  EXPECT_EQ(level(), 0);

  setting(Setting::fixed(300));
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", true}};
  app.apply();
  EXPECT_EQ(level(), 0) << "locked: the rule holds the logo off";
  fake.session.dictionary = PlistValue::object();
  app.apply();
  EXPECT_EQ(level(), 77);

  fixture.setBrightness(kLogo, 200);
  fake.clock.advance(30);
  EXPECT_EQ(level(), 77) << "the watchdog puts back a light someone else changed";

  app.applicationWillTerminate();
  EXPECT_EQ(level(), 40);
  EXPECT_EQ(fixture.trigger(kLogo), "timer");
}

// One apply computes the light once, writes it once and stores the tables, the mode and what the
// write found out in one change of the light's state file.
TEST_F(LedLogoDeviceTest, OneApplyIsOneWriteOfTheLightAndOneChangeOfItsState) {
  fixture.addLed(kLogo, 255, 0);
  make();
  launch();
  FileEvents stateWrites(fixture.runtime() + "/led-" + kLogo + ".json", IN_MOVED_TO);
  FileEvents lightWrites(fixture.led(kLogo) + "/brightness", IN_CLOSE_WRITE);
  setting(Setting::fixed(500));
  EXPECT_EQ(stateWrites.count(), 1);
  EXPECT_EQ(lightWrites.count(), 1);
  EXPECT_GT(level(), 77) << "brighter than a fixed 300";
  setting(Setting::off());
  EXPECT_EQ(stateWrites.count(), 2);
  EXPECT_EQ(lightWrites.count(), 2);
  EXPECT_EQ(level(), 0);
}

TEST_F(LedLogoDeviceTest, TheAttentionSignalPulsesTheLightInLevels) {
  fixture.addLed(kLogo, 255, 0);
  make();
  auto& app = launch();
  setting(Setting::fixed(300));
  fake.userActivity.idleSeconds = std::nullopt;
  app.attention()->start(std::string("done"), Prefs::SignalStyle::doublePulse);
  std::vector<long long> changes{level()};
  for (int step = 0; step < 66; ++step) {
    fake.clock.advance(0.05);
    if (level() != changes.back()) changes.push_back(level());
  }
  // 600 and 18 nits twice, then a rest at 18 until the cycle starts again after 3.3 seconds.
  EXPECT_EQ(changes, (std::vector<long long>{153, 5, 153, 5}));
  app.attention()->stop();
  EXPECT_EQ(level(), 77) << "the setting is back once the signal stops";
}

TEST_F(LedLogoDeviceTest, AnOnOffLightIsLitByAnyBrightness) {
  fixture.addLed("tpacpi::lid_logo_dot", 1, 0);
  make();
  auto& app = launch();
  setting(Setting::fixed(12.5));
  EXPECT_EQ(level("tpacpi::lid_logo_dot"), 1);
  EXPECT_NEAR(*app.logo().stateValue("FinalNits"), 12.5, 1e-9) << "it reads back what the model computes";
  setting(Setting::off());
  EXPECT_EQ(level("tpacpi::lid_logo_dot"), 0);
  EXPECT_EQ(*app.logo().stateValue("FinalNits"), 0);
}

TEST_F(LedLogoDeviceTest, OnlyALogoLightOrTheChosenLightIsEverTaken) {
  fixture.addLed("input3::capslock", 1, 1);
  fixture.addLed("dell::kbd_backlight", 2, 1);
  make();
  EXPECT_EQ(launch().compatibility(), LogoController::Compatibility::noLogoHardware);
  EXPECT_EQ(level("input3::capslock"), 1);
  EXPECT_EQ(level("dell::kbd_backlight"), 1);
  for (const auto& light : device->lights()) EXPECT_FALSE(light.inUse) << light.name;

  chosen = "dell::kbd_backlight";
  make();
  EXPECT_EQ(launch().compatibility(), LogoController::Compatibility::ok);
  setting(Setting::fixed(1000));
  EXPECT_EQ(level("dell::kbd_backlight"), 2);
  EXPECT_EQ(level("input3::capslock"), 1);
}

TEST_F(LedLogoDeviceTest, AChosenLightThatDisappearsReadsAsNoHardware) {
  fixture.addLed("usb::kbd_backlight", 3, 0);
  chosen = "usb::kbd_backlight";
  make();
  auto& app = launch();
  ASSERT_EQ(app.compatibility(), LogoController::Compatibility::ok);
  std::filesystem::remove_all(fixture.led("usb::kbd_backlight"));
  EXPECT_FALSE(device->hasLogoBacklight());
  EXPECT_FALSE(device->copyProperty(kStateKey));
  EXPECT_EQ(device->setProperty(0, kBacklightModeKey), false);
  setting(Setting::fixed(500));
  fake.clock.advance(60);
  app.applicationWillTerminate();
  EXPECT_FALSE(std::filesystem::exists(fixture.led("usb::kbd_backlight")))
      << "nothing is created in its place";
}

TEST_F(LedLogoDeviceTest, ALightThatCannotBeWrittenIsControlsMissingAndStatusSaysHowToGetAccess) {
  fixture.addLed(kLogo, 255, 0);
  if (!fixture.makeUnwritable(kLogo)) GTEST_SKIP() << "no read-only kernel attribute to stand in";
  make();
  EXPECT_EQ(launch().compatibility(), LogoController::Compatibility::controlsMissing);
  std::ostringstream out, err;
  std::istringstream in;
  CliContext context{*platform, out, err, in};
  EXPECT_EQ(CLI::run({"status"}, context), 0);
  EXPECT_NE(
      out.str().find("Access:       Halomark may not set platform::logo. Run it in your active graphical "
                     "session"),
      std::string::npos)
      << out.str();
}

TEST_F(LedLogoDeviceTest, FollowsBacklightUeventsOnlyWhileAutomatic) {
  fixture.addLed(kLogo, 255, 0);
  make(unreachableBuses(), true);
  launch();
  EXPECT_EQ(level(), 65);
  fixture.setBacklight("intel_backlight", 1000);
  ASSERT_TRUE(backlightUevent());
  EXPECT_TRUE(waitUntil([&] {
    fake.clock.runPending();
    return level() != 65;
  })) << "the panel at full brightness brightens the logo";
  EXPECT_EQ(level(), LedClass::levelFor(611.58, 255)) << "held at the ambient light's maximum";

  setting(Setting::fixed(300));
  EXPECT_FALSE(backlightUevent()) << "a fixed logo closes the uevent socket: nothing wakes it";
}

TEST_F(LedLogoDeviceTest, PollsThePanelSlowlyOnlyWhereNoUeventsCanBeHad) {
  fixture.addLed(kLogo, 255, 0);
  make();
  launch();
  fixture.setBacklight("intel_backlight", 1000);
  fake.clock.advance(LogoInputs::kPollSeconds);
  EXPECT_NE(level(), 65);

  fake.clock.advance(1);
  EXPECT_EQ(fake.clock.pendingCount(), 2u) << "the watchdog and the poll";

  for (const auto& idle : {Setting::fixed(300), Setting::off()}) {
    setting(idle);
    fake.clock.advance(1);
    EXPECT_EQ(fake.clock.pendingCount(), 1u) << "the watchdog alone";
  }
}

}  // namespace

namespace {

TEST_F(LedLogoDeviceTest, TheEmulatedDeviceWinsWhileItExists) {
  fixture.addLed(kLogo, 255, 7);
  make();
  EmulatedLogoDevice emulated(fixture.runtime() + "/logo-device.json");
  ASSERT_EQ(emulated.create(), std::nullopt);
  LogoDeviceChoice choice(emulated, *device);
  EXPECT_EQ(choice.setProperty(0, kBacklightModeKey), true);
  EXPECT_EQ(emulated.copyProperty(kBacklightModeKey), PlistValue(0));
  EXPECT_EQ(level(), 7) << "the light is left alone";
  ASSERT_EQ(choice.lights().size(), 1u);
  EXPECT_FALSE(choice.lights().front().inUse);

  ASSERT_EQ(emulated.remove(), std::nullopt);
  EXPECT_EQ(choice.setProperty(0, kBacklightModeKey), true);
  EXPECT_EQ(level(), 0);
  EXPECT_TRUE(choice.lights().front().inUse);
}

}  // namespace
