// The application's bus services on a private session bus: notifications, the single-instance name,
// and polite quit requests.
#include <gtest/gtest.h>

#include <QProcess>

#include "dbusmock_bus.h"
#include "fakes/temp_tree.h"
#include "formats/app_identifier.h"
#include "platform/linux_services/app_instances_linux.h"
#include "platform/linux_services/instance_guard_linux.h"
#include "platform/linux_services/notification_center_linux.h"

namespace {

const std::string kSignal = std::string(kAppIdentifier) + ".signal";
const std::string kPrefsChanged = std::string(kAppIdentifier) + ".prefsChanged";

// A second connection to the same bus, standing for another process.
DBusBuses otherProcess(const DBusMockBus& bus) {
  auto connect = [address = bus.address()] {
    return QDBusConnection::connectToBus(address, "other-" + address);
  };
  return DBusBuses(connect, connect);
}

TEST(LinuxNotificationCenterTest, DeliversBothNotificationsWithTheirPayload) {
  DBusMockBus bus;
  ASSERT_TRUE(bus.started());
  LinuxNotificationCenter receiver(bus.buses());
  LinuxNotificationCenter sender(otherProcess(bus));
  std::vector<PlistDictionary> received;
  int changes = 0;
  ASSERT_TRUE(receiver.observe(kSignal, [&](const PlistDictionary& info) { received.push_back(info); }));
  ASSERT_TRUE(receiver.observe(kPrefsChanged, [&](const PlistDictionary& info) {
    EXPECT_TRUE(info.empty());
    ++changes;
  }));

  sender.post(kPrefsChanged, std::nullopt);
  sender.post(kSignal,
              std::map<std::string, std::string>{{"action", "start"}, {"message", "Build done \u2713"}});
  ASSERT_TRUE(waitUntil([&] { return changes == 1 && received.size() == 1; }));
  EXPECT_EQ(received[0].at("action"), "start");
  EXPECT_EQ(received[0].at("message"), "Build done \u2713");
  EXPECT_EQ(received[0].size(), 2u);

  // Another program may send values of other kinds; they arrive as they are.
  ASSERT_EQ(runClient(bus, "gdbus",
                      {"emit", "--session", "--object-path", "/elsewhere", "--signal",
                       QString::fromStdString(kSignal), "{'action': <'stop'>, 'count': <int32 5>}"}),
            0);
  ASSERT_TRUE(waitUntil([&] { return received.size() == 2; }));
  EXPECT_EQ(received[1].at("action"), "stop");
  EXPECT_EQ(received[1].at("count"), 5);

  // Signals of another interface or member are not ours.
  ASSERT_EQ(runClient(bus, "gdbus",
                      {"emit", "--session", "--object-path", "/elsewhere", "--signal",
                       "app.other.Thing.signal", "{'action': <'start'>}"}),
            0);
  sender.post(kPrefsChanged, std::nullopt);
  ASSERT_TRUE(waitUntil([&] { return changes == 2; }));
  EXPECT_EQ(received.size(), 2u);
}

TEST(LinuxNotificationCenterTest, OversizedPayloadsAreCut) {
  DBusMockBus bus;
  ASSERT_TRUE(bus.started());
  LinuxNotificationCenter receiver(bus.buses());
  LinuxNotificationCenter sender(otherProcess(bus));
  std::vector<PlistDictionary> received;
  ASSERT_TRUE(receiver.observe(kSignal, [&](const PlistDictionary& info) { received.push_back(info); }));

  std::map<std::string, std::string> flood{{"action", "start"}, {"message", std::string(1 << 20, 'm')}};
  for (int i = 0; i < 100; ++i) flood["x" + std::to_string(1000 + i)] = "v";
  flood[std::string(300, 'k')] = "a key no sender of ours uses";
  sender.post(kSignal, flood);
  ASSERT_TRUE(waitUntil([&] { return received.size() == 1; }));
  EXPECT_EQ(received[0].at("action"), "start");
  EXPECT_EQ(received[0].at("message"), std::string(4096, 'm'));
  EXPECT_EQ(received[0].size(), 31u) << "32 entries read, the overlong key among them left out";
  EXPECT_FALSE(received[0].contains(std::string(300, 'k')));

  // A cut never splits a character that takes two UTF-16 units.
  sender.post(kSignal,
              std::map<std::string, std::string>{{"message", std::string(4095, 'm') + "\U0001F4A1"}});
  ASSERT_TRUE(waitUntil([&] { return received.size() == 2; }));
  EXPECT_EQ(received[1].at("message"), std::string(4095, 'm'));
}

TEST(LinuxNotificationCenterTest, WithoutABusNothingIsPostedOrObserved) {
  ensureCoreApplication();
  auto unreachable = [] { return QDBusConnection(QStringLiteral("never-connected")); };
  LinuxNotificationCenter center(DBusBuses(unreachable, unreachable));
  EXPECT_FALSE(center.observe(kSignal, [](const PlistDictionary&) {}));
  EXPECT_FALSE(center.canDeliver());
  center.post(kSignal, std::map<std::string, std::string>{{"action", "start"}});
  TempTree scratch;
  LinuxInstanceGuard guard(scratch / "application.lock");
  LinuxAppInstances instances(guard, DBusBuses(unreachable, unreachable));
  EXPECT_FALSE(instances.isRunning(kAppIdentifier));
  EXPECT_FALSE(instances.openURLs(kAppIdentifier, {"halomark://signal"}));
  // The instance guard needs no bus.
  EXPECT_TRUE(instances.claim(kAppIdentifier));
  instances.announce(kAppIdentifier);
  EXPECT_TRUE(instances.isRunning(kAppIdentifier));
}

TEST(LinuxAppInstancesTest, TheNameMakesASingleInstance) {
  DBusMockBus bus;
  ASSERT_TRUE(bus.started());
  TempTree scratch;
  LinuxInstanceGuard firstGuard(scratch / "application.lock"), secondGuard(scratch / "application.lock");
  LinuxAppInstances first(firstGuard, bus.buses());
  LinuxAppInstances second(secondGuard, otherProcess(bus));
  EXPECT_FALSE(second.isRunning(kAppIdentifier));
  EXPECT_TRUE(first.claim(kAppIdentifier));
  first.announce(kAppIdentifier);
  auto connection = bus.connection();
  EXPECT_TRUE(DBusCall::hasOwner(connection, kAppIdentifier)) << "desktop peers reach it by its name";
  EXPECT_TRUE(second.isRunning(kAppIdentifier));
  EXPECT_FALSE(second.claim(kAppIdentifier)) << "a second copy stays out";
}

TEST(LinuxAppInstancesTest, QuitRequestTerminatesTheOwnerPolitely) {
  DBusMockBus bus;
  ASSERT_TRUE(bus.started());
  QProcess owner;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
  owner.setProcessEnvironment(environment);
  owner.start("/usr/bin/python3", {"-c",
                                   "import dbus, signal, sys\n"
                                   "bus = dbus.bus.BusConnection(sys.argv[1])\n"
                                   "bus.request_name(sys.argv[2])\n"
                                   "signal.signal(signal.SIGTERM, lambda *a: sys.exit(15))\n"
                                   "signal.pause()\n",
                                   bus.address(), kAppIdentifier});
  ASSERT_TRUE(owner.waitForStarted(5000));
  // An instance of a build without the guard is known by its name alone.
  TempTree scratch;
  LinuxInstanceGuard guard(scratch / "application.lock");
  LinuxAppInstances instances(guard, bus.buses());
  ASSERT_TRUE(waitUntil([&] { return instances.isRunning(kAppIdentifier); }, 10));
  instances.requestQuit(kAppIdentifier);
  ASSERT_TRUE(waitUntil([&] { return owner.state() == QProcess::NotRunning; }, 10));
  EXPECT_EQ(owner.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(owner.exitCode(), 15) << "SIGTERM, which the application handles as a normal quit";
}

}  // namespace
