// The real logo light written through a mocked systemd-logind, and following a mocked
// iio-sensor-proxy's ambient light.
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDBusVariant>

#include "fakes/virtual_clock.h"
#include "linux/dbusmock_bus.h"
#include "linux/led_fixture.h"
#include "linux/logind_mock.h"
#include "logo/brightness_table.h"
#include "logo/logo_controller.h"
#include "platform/leds/led_class.h"
#include "platform/leds/led_logo_device.h"

namespace {

const std::string kLogo = "platform::logo";
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kSensorProxy = QStringLiteral("net.hadess.SensorProxy");

class LedServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bus.started()) << "dbus-daemon is needed";
    setenv("XDG_SESSION_ID", "c1", 1);
    fixture.addBacklight("intel_backlight", "firmware", 100, 50);
    fixture.addLed(kLogo, 255, 10);
  }
  void TearDown() override {
    device.reset();
    unsetenv("XDG_SESSION_ID");
  }

  // logind with the caller's session c1, whose SetBrightness runs `code` (Python, args = s, s, u).
  void startLogind(const std::string& code) {
    ASSERT_TRUE(logind.start());
    ASSERT_TRUE(logind.addSession(QStringLiteral("c1"), true, getuid()));
    ASSERT_TRUE(logind.addSessionMethod(QStringLiteral("c1"), QStringLiteral("SetBrightness"),
                                        QStringLiteral("ssu"), QString(), QString::fromStdString(code)));
  }
  int setBrightnessCalls() { return logind.callsOf(QStringLiteral("c1"), QStringLiteral("SetBrightness")); }
  LedLogoDevice& make() {
    device = std::make_unique<LedLogoDevice>(
        LedLogoDevice::Config{fixture.sys(), fixture.runtime(), bus.buses(), [] { return -1; }, clock,
                              [] { return std::nullopt; }, [] { return 500.0; }});
    return *device;
  }
  // Full brightness whatever the inputs.
  static std::map<std::string, BrightnessTable> fullBrightness() {
    return {{kMappingKey, LogoController::flatMapping(1000)},
            {kMinRestrictionKey, LogoController::flatRestriction(0)},
            {kMaxRestrictionKey, LogoController::flatRestriction(1000)}};
  }
  void writeTables(const std::map<std::string, BrightnessTable>& tables, int mode) {
    for (const auto& [key, table] : tables) device->setProperty(plistFromTable(table), key);
    device->setProperty(mode, kBacklightModeKey);
  }

  DBusMockBus bus;
  LogindMock logind{bus};
  LedFixture fixture;
  VirtualClock clock;
  std::unique_ptr<LedLogoDevice> device;
};

TEST_F(LedServicesTest, WritesThroughLogindOnTheCallersSession) {
  startLogind("open('" + fixture.sys() +
              "/class/' + args[0] + '/' + args[1] + '/brightness', 'w')"
              ".write(str(args[2]))");
  make();
  writeTables(fullBrightness(), 2);
  EXPECT_EQ(fixture.brightness(kLogo), 255);
  EXPECT_GT(setBrightnessCalls(), 0);
  EXPECT_EQ(device->accessAdvice(), std::nullopt);
}

TEST_F(LedServicesTest, WritesTheFileWhenLogindRefuses) {
  startLogind(
      "raise dbus.exceptions.DBusException('not yours', name='org.freedesktop.login1.NotYourDevice')");
  make();
  writeTables(fullBrightness(), 2);
  EXPECT_EQ(fixture.brightness(kLogo), 255);
  int refused = setBrightnessCalls();
  EXPECT_GT(refused, 0);
  device->setProperty(0, kBacklightModeKey);
  EXPECT_EQ(fixture.brightness(kLogo), 0);
  EXPECT_EQ(setBrightnessCalls(), refused) << "once refused, logind is not asked before every write";
}

TEST_F(LedServicesTest, FollowsTheSensorProxysAmbientLightWhileItMatters) {
  ASSERT_TRUE(bus.startMock(kSensorProxy, {QStringLiteral("--system"), QStringLiteral("--template"),
                                           QStringLiteral("iio-sensors-proxy")}));
  auto setLight = [&](double lux) {
    return bus.call(kSensorProxy, QStringLiteral("/net/hadess/SensorProxy"), kMock,
                    QStringLiteral("SetInternalProperty"),
                    {kSensorProxy, QStringLiteral("LightLevel"), QVariant::fromValue(QDBusVariant(lux))});
  };
  ASSERT_TRUE(bus.call(
      kSensorProxy, QStringLiteral("/net/hadess/SensorProxy"), kMock, QStringLiteral("SetInternalProperty"),
      {kSensorProxy, QStringLiteral("HasAmbientLight"), QVariant::fromValue(QDBusVariant(true))}));
  ASSERT_TRUE(setLight(0));
  make();
  // The built-in defaults, automatic: at 0 lux the maximum restriction holds the logo at 180 nits.
  std::map<std::string, BrightnessTable> defaults(LogoController::fallbackDefaults().begin(),
                                                  LogoController::fallbackDefaults().end());
  writeTables(defaults, 2);
  EXPECT_EQ(fixture.brightness(kLogo), LedClass::levelFor(180, 255));

  ASSERT_TRUE(setLight(1000));
  EXPECT_TRUE(waitUntil([&] {
    clock.runPending();
    return fixture.brightness(kLogo) != LedClass::levelFor(180, 255);
  })) << "a claimed sensor's change re-drives the light";
  // At 1000 lux the minimum restriction lifts the logo to about 690 nits.
  EXPECT_EQ(fixture.brightness(kLogo), LedClass::levelFor(300 + 440.0 / 790 * 700, 255));
}

}  // namespace
