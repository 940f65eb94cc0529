// The application's published state on a private bus: asked once, followed through its
// PropertiesChanged announcements and its name changing hands, and deaf to other senders.
#include "platform/linux_services/application_state_linux.h"

#include <gtest/gtest.h>

#include <atomic>

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QThread>

#include "linux/dbusmock_bus.h"

namespace {

constexpr const char* kId = "org.example.Logo";
const QString kPath = QStringLiteral("/org/example/Logo");

// Runs the event loop until `condition` holds or two seconds pass.
bool eventually(const std::function<bool()>& condition) {
  QElapsedTimer timer;
  timer.start();
  while (!condition() && timer.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return condition();
}

// A stand-in for the application: answers GetAll for its interface and announces changes. It
// answers on a thread of its own, as the application would in its own process: the service under
// test asks without turning the event loop of the thread it is on.
class Publisher : public QDBusVirtualObject {
 public:
  explicit Publisher(QDBusConnection bus) : bus_(bus) {
    thread_.start();
    moveToThread(&thread_);
  }
  ~Publisher() override {
    thread_.quit();
    thread_.wait();
  }
  QVariantMap values;
  std::atomic<int> asked = 0;

  void announce(const QVariantMap& changed, const QStringList& invalidated = {}) {
    for (auto it = changed.begin(); it != changed.end(); ++it) values[it.key()] = it.value();
    auto signal = QDBusMessage::createSignal(kPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
    signal << QStringLiteral("org.example.Logo.LogoLight") << changed << invalidated;
    bus_.send(signal);
  }

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.member() != "GetAll") return false;
    ++asked;
    bool ours = message.arguments().value(0).toString() == "org.example.Logo.LogoLight";
    connection.send(message.createReply(QVariant::fromValue(ours ? values : QVariantMap{})));
    return true;
  }

 private:
  QDBusConnection bus_;
  QThread thread_;
};

class ApplicationStateTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bus.started()); }
  QDBusConnection connection(const QString& name) {
    return QDBusConnection::connectToBus(bus.address(), name);
  }

  DBusMockBus bus;
};

TEST_F(ApplicationStateTest, AskedOnceWithoutFollowing) {
  LinuxApplicationState state(bus.buses());
  EXPECT_EQ(state.published(kId), std::nullopt) << "nothing runs";

  auto app = connection("app-once");
  Publisher publisher(app);
  publisher.values = {{"Setting", "fixed"}, {"LogoNits", 80.0}, {"Signaling", false}};
  ASSERT_TRUE(app.registerVirtualObject(kPath, &publisher));
  ASSERT_TRUE(app.registerService(kId));
  auto published = state.published(kId);
  ASSERT_TRUE(published);
  EXPECT_EQ((*published)["Setting"], "fixed");
  EXPECT_EQ((*published)["LogoNits"], 80.0);
  EXPECT_EQ((*published)["Signaling"], false);
}

TEST_F(ApplicationStateTest, FollowsAnnouncementsAndTheNameChangingHands) {
  int heard = 0;
  LinuxApplicationState state(bus.buses());
  ASSERT_TRUE(state.follow(kId, [&] { ++heard; }));
  EXPECT_EQ(state.published(kId), std::nullopt);

  auto app = connection("app-follow");
  Publisher publisher(app);
  publisher.values = {{"Setting", "automatic"}, {"Signaling", false}};
  ASSERT_TRUE(app.registerVirtualObject(kPath, &publisher));
  ASSERT_TRUE(app.registerService(kId));
  ASSERT_TRUE(eventually([&] { return heard == 1; })) << "the application appeared";
  EXPECT_EQ((*state.published(kId))["Setting"], "automatic");
  int askedBefore = publisher.asked;

  publisher.announce({{"Signaling", true}, {"SignalMessage", QStringLiteral("Done: make")}});
  ASSERT_TRUE(eventually([&] { return heard == 2; }));
  auto now = *state.published(kId);
  EXPECT_EQ(now["Signaling"], true);
  EXPECT_EQ(now["SignalMessage"], "Done: make");
  EXPECT_EQ(now["Setting"], "automatic") << "kept from before";
  EXPECT_EQ(publisher.asked, askedBefore) << "announced values are not asked for again";

  // Another peer cannot speak for the application.
  auto other = connection("impostor");
  Publisher impostor(other);
  impostor.announce({{"Setting", "off"}});
  publisher.announce({{"LogoNits", 12.0}}, {"Setting"});
  ASSERT_TRUE(eventually([&] { return heard == 3; }));
  EXPECT_EQ((*state.published(kId))["Setting"], "automatic") << "invalidated: asked again";
  EXPECT_EQ((*state.published(kId))["LogoNits"], 12.0);

  app.unregisterService(kId);
  ASSERT_TRUE(eventually([&] { return heard == 4; })) << "it quit (or crashed)";
  EXPECT_EQ(state.published(kId), std::nullopt);
  QDBusConnection::disconnectFromBus("app-follow");
  QDBusConnection::disconnectFromBus("impostor");
}

}  // namespace
