// The end of the application's session, on a private bus standing for both buses: the bus daemon
// going away, and a dbusmock logind removing sessions or making them inactive.
#include "platform/linux/session_end_watch_linux.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "dbusmock_bus.h"
#include "logind_mock.h"

namespace {

class SessionEndWatchTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bus.started()) << "dbus-daemon is needed"; }
  void TearDown() override { unsetenv("XDG_SESSION_ID"); }

  // Turns the event loop a while, so that anything that would end the session has arrived.
  static void settle() {
    waitUntil([] { return false; }, 0.5);
  }

  DBusMockBus bus;
  LogindMock logind{bus};
  int ends = 0;
};

TEST_F(SessionEndWatchTest, OnlyTheRemovalOfItsOwnLoginSessionEndsIt) {
  ASSERT_TRUE(logind.start());
  ASSERT_TRUE(logind.addSession(QStringLiteral("c1")));
  ASSERT_TRUE(logind.addSession(QStringLiteral("c2")));
  setenv("XDG_SESSION_ID", "c1", 1);
  SessionEndWatch watch(bus.buses(), [this] { ++ends; });
  auto watching = watch.start();
  EXPECT_TRUE(watching.sessionBus);
  EXPECT_TRUE(watching.loginSession);

  // Another user switched in: the session is inactive, not over.
  ASSERT_TRUE(logind.setActive(QStringLiteral("c1"), false));
  ASSERT_TRUE(logind.removeSession(QStringLiteral("c2")));
  settle();
  EXPECT_EQ(ends, 0);

  ASSERT_TRUE(logind.removeSession(QStringLiteral("c1")));
  EXPECT_TRUE(waitUntil([&] { return ends == 1; }, 5));
  ASSERT_TRUE(logind.removeSession(QStringLiteral("c1")));
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
