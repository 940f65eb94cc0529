// The end of the application's session, on a private bus standing for both buses: the bus daemon
// going away, and a dbusmock logind removing sessions or making them inactive.
#include "platform/linux/session_end_watch_linux.h"

#include <gtest/gtest.h>

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <cstdlib>

#include "dbusmock_bus.h"

namespace {

const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");

class SessionEndWatchTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bus.started()) << "dbus-daemon is needed"; }
  void TearDown() override { unsetenv("XDG_SESSION_ID"); }

  bool addSession(const QString& id) {
    return bus.call(kLogind, kLogindPath, kMock, QStringLiteral("AddSession"),
                    {id, QStringLiteral("seat0"), QVariant::fromValue(1000u), QStringLiteral("user"), true});
  }
  bool removeSession(const QString& id) {
    QVariantList arguments{id, QVariant::fromValue(QDBusObjectPath("/org/freedesktop/login1/session/" + id))};
    return bus.call(
        kLogind, kLogindPath, kMock, QStringLiteral("EmitSignal"),
        {kManager, QStringLiteral("SessionRemoved"), QStringLiteral("so"), QVariant::fromValue(arguments)});
  }
  bool setActive(const QString& id, bool active) {
    return bus.call(kLogind, "/org/freedesktop/login1/session/" + id,
                    QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
                    {kSession, QStringLiteral("Active"), QVariant::fromValue(QDBusVariant(active))});
  }
  // Turns the event loop a while, so that anything that would end the session has arrived.
  static void settle() {
    waitUntil([] { return false; }, 0.5);
  }

  DBusMockBus bus;
  int ends = 0;
};

TEST_F(SessionEndWatchTest, OnlyTheRemovalOfItsOwnLoginSessionEndsIt) {
  ASSERT_TRUE(bus.startMock(kLogind, {QStringLiteral("--template"), QStringLiteral("logind")}));
  ASSERT_TRUE(addSession(QStringLiteral("c1")));
  ASSERT_TRUE(addSession(QStringLiteral("c2")));
  setenv("XDG_SESSION_ID", "c1", 1);
  SessionEndWatch watch(bus.buses(), [this] { ++ends; });
  auto watching = watch.start();
  EXPECT_TRUE(watching.sessionBus);
  EXPECT_TRUE(watching.loginSession);

  // Another user switched in: the session is inactive, not over.
  ASSERT_TRUE(setActive(QStringLiteral("c1"), false));
  ASSERT_TRUE(removeSession(QStringLiteral("c2")));
  settle();
  EXPECT_EQ(ends, 0);

  ASSERT_TRUE(removeSession(QStringLiteral("c1")));
  EXPECT_TRUE(waitUntil([&] { return ends == 1; }, 5));
  ASSERT_TRUE(removeSession(QStringLiteral("c1")));
  settle();
  EXPECT_EQ(ends, 1) << "the end is reported once";
}

TEST_F(SessionEndWatchTest, TheBusGoingAwayEndsIt) {
  SessionEndWatch watch(bus.buses(), [this] { ++ends; });
  auto watching = watch.start();
  EXPECT_TRUE(watching.sessionBus);
  EXPECT_FALSE(watching.loginSession) << "no logind on this bus";
  settle();
  EXPECT_EQ(ends, 0);
  bus.stopDaemon();
  EXPECT_TRUE(waitUntil([&] { return ends == 1; }, 5));
}

TEST_F(SessionEndWatchTest, WithoutBusesNothingIsWatched) {
  auto unreachable = [] { return QDBusConnection(QStringLiteral("never-connected")); };
  SessionEndWatch watch(DBusBuses(unreachable, unreachable), [this] { ++ends; });
  auto watching = watch.start();
  EXPECT_FALSE(watching.sessionBus);
  EXPECT_FALSE(watching.loginSession);
}

}  // namespace
