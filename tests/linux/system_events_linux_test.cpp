// System events from services mocked on a private bus, fake uevents and a private X server.
#include "platform/linux_services/system_events_linux.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <cstdlib>

#include "automation/event_observation.h"
#include "dbusmock_bus.h"
#include "fakes/fake_platform.h"
#include "logind_mock.h"
#include "platform/linux_services/scheduler_linux.h"
#include "xvfb_server.h"

namespace {

const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

class SystemEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("XDG_SESSION_ID");
    ASSERT_TRUE(bus.started()) << "dbus-daemon is needed";
  }
  void TearDown() override {
    events.reset();
    for (int fd : fds) ::close(fd);
  }
  LinuxSystemEvents& make(std::string display = "", bool withUevents = false) {
    LinuxSystemEvents::UeventOpener opener = [] { return -1; };
    if (withUevents) {
      int pair[2];
      EXPECT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0, pair), 0);
      fds.push_back(pair[1]);
      opener = [fd = pair[0]] { return fd; };
    }
    events = std::make_unique<LinuxSystemEvents>(bus.buses(), std::move(display), opener);
    return *events;
  }
  bool count(SystemEvent event) {
    return events->subscribe(event, [this, event] { ++counts[event]; });
  }
  // Waits for `expected` deliveries of `event`, then a little longer to catch extra ones.
  int settle(SystemEvent event, int expected) {
    waitUntil([&] { return counts[event] >= expected; }, 5);
    waitUntil([] { return false; }, 0.3);
    return counts[event];
  }
  void uevent(const std::string& subsystem) {
    std::string datagram;
    for (const std::string& field : std::vector<std::string>{"change@/devices/x", "ACTION=change",
                                                             "SUBSYSTEM=" + subsystem, "SEQNUM=1"}) {
      datagram += field + '\0';
    }
    ASSERT_GT(::send(fds.back(), datagram.data(), datagram.size(), 0), 0);
  }
  bool emitSignal(const QString& service, const QString& path, const QString& interface, const QString& name,
                  const QString& signature, const QVariantList& arguments) {
    return bus.call(service, path, kMock, QStringLiteral("EmitSignal"),
                    {interface, name, signature, QVariant::fromValue(arguments)});
  }

  DBusMockBus bus;
  std::unique_ptr<LinuxSystemEvents> events;
  std::vector<int> fds;
  std::map<SystemEvent, int> counts;
};

TEST_F(SystemEventsTest, NothingToListenToSubscribesNothing) {
  auto offline = [] { return QDBusConnection(QStringLiteral("not-connected")); };
  LinuxSystemEvents none(DBusBuses(offline, offline), "", [] { return -1; });
  for (auto event :
       {SystemEvent::powerSourceChanged, SystemEvent::powerStateChanged, SystemEvent::screenParametersChanged,
        SystemEvent::applicationLaunched, SystemEvent::applicationTerminated,
        SystemEvent::applicationActivated, SystemEvent::screenLocked, SystemEvent::screenUnlocked,
        SystemEvent::didWake, SystemEvent::screensDidWake, SystemEvent::sessionDidBecomeActive}) {
    EXPECT_FALSE(none.subscribe(event, [] {})) << static_cast<int>(event);
  }
}

TEST_F(SystemEventsTest, UPowerDevicesReportPowerSourceChanges) {
  ASSERT_TRUE(bus.startMock(QStringLiteral("org.freedesktop.UPower"),
                            {QStringLiteral("--template"), QStringLiteral("upower")}));
  make();
  ASSERT_TRUE(count(SystemEvent::powerSourceChanged));
  ASSERT_TRUE(bus.call(QStringLiteral("org.freedesktop.UPower"), QStringLiteral("/org/freedesktop/UPower"),
                       kMock, QStringLiteral("AddAC"),
                       {QStringLiteral("mock_ac"), QStringLiteral("Mock AC")}));
  EXPECT_EQ(settle(SystemEvent::powerSourceChanged, 1), 1) << "one device added, one run";
  QVariantMap offline{{QStringLiteral("Online"), false}};
  ASSERT_TRUE(bus.call(
      QStringLiteral("org.freedesktop.UPower"), QStringLiteral("/org/freedesktop/UPower"), kMock,
      QStringLiteral("SetDeviceProperties"),
      {QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/freedesktop/UPower/devices/mock_ac"))),
       offline}));
  EXPECT_EQ(settle(SystemEvent::powerSourceChanged, 2), 2) << "a device's own property change counts";
}

TEST_F(SystemEventsTest, UeventsReportDisplaysAndStandInForUPower) {
  make("", true);
  ASSERT_TRUE(count(SystemEvent::screenParametersChanged));
  ASSERT_TRUE(count(SystemEvent::powerSourceChanged));
  uevent("drm");
  EXPECT_EQ(settle(SystemEvent::screenParametersChanged, 1), 1);
  EXPECT_EQ(counts[SystemEvent::powerSourceChanged], 0);
  uevent("power_supply");
  uevent("power_supply");
  uevent("usb");
  EXPECT_EQ(settle(SystemEvent::powerSourceChanged, 2), 2);
  EXPECT_EQ(counts[SystemEvent::screenParametersChanged], 1);
}

TEST_F(SystemEventsTest, PowerProfileSwitchesReportLowPowerChanges) {
  const QString service = QStringLiteral("net.hadess.PowerProfiles");
  const QString path = QStringLiteral("/net/hadess/PowerProfiles");
  ASSERT_TRUE(
      bus.startMock(service, {QStringLiteral("--template"), QStringLiteral("power_profiles_daemon")}));
  make();
  ASSERT_TRUE(count(SystemEvent::powerStateChanged));
  ASSERT_TRUE(bus.call(service, path, kProperties, QStringLiteral("Set"),
                       {service, QStringLiteral("ActiveProfile"),
                        QVariant::fromValue(QDBusVariant(QStringLiteral("power-saver")))}));
  EXPECT_EQ(settle(SystemEvent::powerStateChanged, 1), 1);
  ASSERT_TRUE(bus.call(service, path, kProperties, QStringLiteral("Set"),
                       {service, QStringLiteral("PerformanceDegraded"),
                        QVariant::fromValue(QDBusVariant(QStringLiteral("lap-detected")))}));
  EXPECT_EQ(settle(SystemEvent::powerStateChanged, 1), 1) << "other properties are not a power-state change";
}

TEST_F(SystemEventsTest, LogindReportsLockSleepAndSessionSwitchesWhileOtherSourcesAreMissing) {
  LogindMock logind(bus);
  ASSERT_TRUE(logind.start());
  ASSERT_TRUE(logind.addSession(QStringLiteral("c1")));
  setenv("XDG_SESSION_ID", "c1", 1);
  make();
  EXPECT_FALSE(count(SystemEvent::powerSourceChanged));
  EXPECT_FALSE(count(SystemEvent::applicationActivated));
  ASSERT_TRUE(count(SystemEvent::screenLocked));
  ASSERT_TRUE(count(SystemEvent::screenUnlocked));
  ASSERT_TRUE(count(SystemEvent::didWake));
  ASSERT_TRUE(count(SystemEvent::sessionDidBecomeActive));
  EXPECT_FALSE(count(SystemEvent::screensDidWake)) << "no screen saver on the bus";

  ASSERT_TRUE(logind.setLocked(QStringLiteral("c1"), true));
  EXPECT_EQ(settle(SystemEvent::screenLocked, 1), 1);
  ASSERT_TRUE(logind.setLocked(QStringLiteral("c1"), false));
  EXPECT_EQ(settle(SystemEvent::screenUnlocked, 1), 1);
  EXPECT_EQ(counts[SystemEvent::screenLocked], 1);

  ASSERT_TRUE(logind.emitManagerSignal(QStringLiteral("PrepareForSleep"), QStringLiteral("b"), {true}));
  ASSERT_TRUE(logind.emitManagerSignal(QStringLiteral("PrepareForSleep"), QStringLiteral("b"), {false}));
  EXPECT_EQ(settle(SystemEvent::didWake, 1), 1) << "only waking counts, not going to sleep";

  for (bool active : {false, true}) ASSERT_TRUE(logind.setActive(QStringLiteral("c1"), active));
  EXPECT_EQ(settle(SystemEvent::sessionDidBecomeActive, 1), 1);
  unsetenv("XDG_SESSION_ID");
}

TEST_F(SystemEventsTest, ScreenSaverReportsLockAndScreensComingBack) {
  const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
  const QString path = QStringLiteral("/org/freedesktop/ScreenSaver");
  ASSERT_TRUE(bus.startMock(service, {QStringLiteral("--session"), service, path, service}));
  make();
  ASSERT_TRUE(count(SystemEvent::screenLocked));
  ASSERT_TRUE(count(SystemEvent::screenUnlocked));
  ASSERT_TRUE(count(SystemEvent::screensDidWake));
  ASSERT_TRUE(
      emitSignal(service, path, service, QStringLiteral("ActiveChanged"), QStringLiteral("b"), {true}));
  EXPECT_EQ(settle(SystemEvent::screenLocked, 1), 1);
  EXPECT_EQ(counts[SystemEvent::screensDidWake], 0);
  ASSERT_TRUE(
      emitSignal(service, path, service, QStringLiteral("ActiveChanged"), QStringLiteral("b"), {false}));
  EXPECT_EQ(settle(SystemEvent::screenUnlocked, 1), 1);
  EXPECT_EQ(counts[SystemEvent::screensDidWake], 1);
}

TEST_F(SystemEventsTest, ObservationRunsTheHandlerOncePerEventOnTheMainLoop) {
  const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
  const QString path = QStringLiteral("/org/freedesktop/ScreenSaver");
  ASSERT_TRUE(bus.startMock(service, {QStringLiteral("--session"), service, path, service}));
  FakePlatform f;
  LinuxScheduler scheduler;
  Platform platform = f.with({.scheduler = &scheduler, .events = &make()});
  int runs = 0;
  auto token = Power::observe([&] { ++runs; }, platform);
  ASSERT_TRUE(
      emitSignal(service, path, service, QStringLiteral("ActiveChanged"), QStringLiteral("b"), {true}));
  ASSERT_TRUE(
      emitSignal(service, path, service, QStringLiteral("ActiveChanged"), QStringLiteral("b"), {false}));
  waitUntil([&] { return runs >= 2; });
  waitUntil([] { return false; }, 0.3);
  EXPECT_EQ(runs, 2) << "a lock and an unlock; the screens coming back are not among the observed events";
}

TEST_F(SystemEventsTest, UserManagerReportsApplicationUnits) {
  const QString service = QStringLiteral("org.freedesktop.systemd1");
  const QString path = QStringLiteral("/org/freedesktop/systemd1");
  const QString manager = service + QStringLiteral(".Manager");
  ASSERT_TRUE(bus.startMock(service, {QStringLiteral("--session"), service, path, manager}));
  make();
  EXPECT_FALSE(count(SystemEvent::applicationLaunched)) << "a manager that refuses Subscribe sends nothing";
  ASSERT_TRUE(bus.call(service, path, kMock, QStringLiteral("AddMethod"),
                       {manager, QStringLiteral("Subscribe"), QString(), QString(), QString()}));
  make();
  ASSERT_TRUE(count(SystemEvent::applicationLaunched));
  ASSERT_TRUE(count(SystemEvent::applicationTerminated));
  auto unit = [&](const char* signal, const char* name) {
    return emitSignal(
        service, path, manager, QString::fromUtf8(signal), QStringLiteral("so"),
        {QString::fromUtf8(name), QVariant::fromValue(QDBusObjectPath(QStringLiteral("/unit")))});
  };
  ASSERT_TRUE(unit("UnitNew", "session-3.scope"));
  ASSERT_TRUE(unit("UnitNew", "app-gnome-org.example.Editor-4123.scope"));
  EXPECT_EQ(settle(SystemEvent::applicationLaunched, 1), 1);
  ASSERT_TRUE(unit("UnitRemoved", "app-gnome-org.example.Editor-4123.scope"));
  EXPECT_EQ(settle(SystemEvent::applicationTerminated, 1), 1);
}

TEST_F(SystemEventsTest, ActiveWindowChangesReportActivation) {
  XvfbServer x;
  ASSERT_TRUE(x.started()) << "Xvfb is needed";
  make(x.display().toStdString());
  ASSERT_TRUE(count(SystemEvent::applicationActivated));
  ASSERT_TRUE(x.activateWindowOf(100));
  EXPECT_EQ(settle(SystemEvent::applicationActivated, 1), 1);
  ASSERT_TRUE(x.activateWindowOf(200));
  EXPECT_EQ(settle(SystemEvent::applicationActivated, 2), 2);
}

}  // namespace
