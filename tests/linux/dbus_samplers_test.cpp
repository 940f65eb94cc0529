// Low Power Mode and the screen lock read from services mocked on a private bus.
#include <gtest/gtest.h>

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <cstdlib>

#include "dbusmock_bus.h"
#include "logind_mock.h"
#include "platform/linux/power_sources_linux.h"
#include "platform/linux/session_linux.h"

namespace {

const QString kMockInterface = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");

class DBusSamplers : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("XDG_SESSION_ID");
    ASSERT_TRUE(bus.started()) << "dbus-daemon is needed";
  }
  bool startProfiles(const QString& service, const QString& path, const QString& profile) {
    if (!bus.startMock(service, {QStringLiteral("--system"), service, path, service})) return false;
    return bus.call(service, path, kMockInterface, QStringLiteral("AddProperty"),
                    {service, QStringLiteral("ActiveProfile"), QVariant::fromValue(QDBusVariant(profile))});
  }
  bool startLogindWithSession() { return logind.start() && logind.addSession(QStringLiteral("c1")); }
  bool setLocked(bool locked) { return logind.setLocked(QStringLiteral("c1"), locked); }
  bool startScreenSaver(bool active) {
    const QString path = QStringLiteral("/org/freedesktop/ScreenSaver");
    return bus.startMock(kScreenSaver, {QStringLiteral("--session"), kScreenSaver, path, kScreenSaver}) &&
           bus.call(kScreenSaver, path, kMockInterface, QStringLiteral("AddMethod"),
                    {kScreenSaver, QStringLiteral("GetActive"), QString(), QStringLiteral("b"),
                     active ? QStringLiteral("ret = True") : QStringLiteral("ret = False")});
  }
  std::optional<bool> locked(LinuxSession& session) {
    auto dictionary = session.sessionDictionary();
    if (!dictionary) return std::nullopt;
    return dictionary->at("CGSSessionScreenIsLocked").get<bool>();
  }

  DBusMockBus bus;
  LogindMock logind{bus};
};

TEST_F(DBusSamplers, LowPowerModeFollowsThePowerSaverProfile) {
  LinuxPowerSources none("/nonexistent", bus.buses());
  EXPECT_FALSE(none.lowPowerModeEnabled()) << "no profile daemon reads as off";

  ASSERT_TRUE(startProfiles(QStringLiteral("net.hadess.PowerProfiles"),
                            QStringLiteral("/net/hadess/PowerProfiles"), QStringLiteral("power-saver")));
  LinuxPowerSources legacy("/nonexistent", bus.buses());
  EXPECT_TRUE(legacy.lowPowerModeEnabled());

  // The current daemon name wins over the older one.
  ASSERT_TRUE(startProfiles(QStringLiteral("org.freedesktop.UPower.PowerProfiles"),
                            QStringLiteral("/org/freedesktop/UPower/PowerProfiles"),
                            QStringLiteral("balanced")));
  LinuxPowerSources current("/nonexistent", bus.buses());
  EXPECT_FALSE(current.lowPowerModeEnabled());
}

TEST_F(DBusSamplers, NoLockServiceGivesNoDictionary) {
  LinuxSession session(bus.buses());
  EXPECT_EQ(session.sessionDictionary(), std::nullopt);
}

TEST_F(DBusSamplers, LogindLockedHintOfThisProcessSession) {
  ASSERT_TRUE(startLogindWithSession());
  ASSERT_TRUE(logind.addManagerMethod(
      QStringLiteral("GetSessionByPID"), QStringLiteral("u"), QStringLiteral("o"),
      QStringLiteral("ret = '%1'").arg(LogindMock::sessionPath(QStringLiteral("c1")))));
  LinuxSession session(bus.buses());
  EXPECT_EQ(locked(session), false);
  // A change reaches the application with logind's signal, as the event loop turns.
  ASSERT_TRUE(setLocked(true));
  EXPECT_TRUE(waitUntil([&] { return locked(session) == true; }));
  ASSERT_TRUE(setLocked(false));
  EXPECT_TRUE(waitUntil([&] { return locked(session) == false; }));
}

TEST_F(DBusSamplers, SessionIdFromTheEnvironmentAndTheScreenSaver) {
  ASSERT_TRUE(startLogindWithSession());
  setenv("XDG_SESSION_ID", "c1", 1);
  LinuxSession session(bus.buses());
  ASSERT_TRUE(setLocked(true));
  EXPECT_EQ(locked(session), true);
  ASSERT_TRUE(setLocked(false));
  ASSERT_TRUE(startScreenSaver(true));
  EXPECT_TRUE(waitUntil([&] { return locked(session) == true; }))
      << "an active screen saver counts as locked";
  unsetenv("XDG_SESSION_ID");
}

TEST_F(DBusSamplers, ScreenSaverAloneAnswers) {
  ASSERT_TRUE(startScreenSaver(false));
  LinuxSession session(bus.buses());
  EXPECT_EQ(locked(session), false);
}

// The application keeps what the screen saver said until the screen saver signals a change: a
// snapshot of the machine then costs no round trip on the bus.
TEST_F(DBusSamplers, TheScreenSaverIsAskedAgainOnlyAfterItSignalsAChange) {
  ASSERT_TRUE(startScreenSaver(false));
  const QString path = QStringLiteral("/org/freedesktop/ScreenSaver");
  auto asked = [&] {
    auto reply = bus.connection().call(
        QDBusMessage::createMethodCall(kScreenSaver, path, kMockInterface, QStringLiteral("GetMethodCalls"))
        << QStringLiteral("GetActive"));
    return reply.arguments().isEmpty() ? -1 : qdbus_cast<QVariantList>(reply.arguments().first()).size();
  };
  LinuxSession session(bus.buses());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(locked(session), false);
  EXPECT_EQ(asked(), 1);

  ASSERT_TRUE(bus.call(kScreenSaver, path, kMockInterface, QStringLiteral("AddMethod"),
                       {kScreenSaver, QStringLiteral("GetActive"), QString(), QStringLiteral("b"),
                        QStringLiteral("ret = True")}));
  ASSERT_TRUE(
      bus.call(kScreenSaver, path, kMockInterface, QStringLiteral("EmitSignal"),
               {kScreenSaver, QStringLiteral("ActiveChanged"), QStringLiteral("b"), QVariantList{true}}));
  EXPECT_TRUE(waitUntil([&] { return locked(session) == true; }));
  EXPECT_EQ(locked(session), true);
  EXPECT_EQ(asked(), 2);
}

}  // namespace
