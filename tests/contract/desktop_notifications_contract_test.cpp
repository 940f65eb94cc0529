// What every DesktopNotifications must do, run against the fake the logic tests use and against
// the Linux notifications sent to a notification server mocked on a private bus, which renders the
// body's markup as desktops do: the answers and update notes are tested on the fake, so what the
// fake shows must be what a desktop shows.
#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_desktop_notifications.h"
#include "linux/dbusmock_bus.h"
#include "platform/linux/desktop_notifications_linux.h"

namespace {

using Message = FakeDesktopNotifications::Message;
using Screen = std::vector<Message>;

struct FakeDesktop {
  std::vector<std::unique_ptr<FakeDesktopNotifications>> notifiers;
  bool ready() { return true; }
  DesktopNotifications& make() {
    return *notifiers.emplace_back(std::make_unique<FakeDesktopNotifications>());
  }
  // What the desktop shows now, oldest first.
  Screen screen() {
    Screen shown;
    for (const auto& notifier : notifiers)
      if (auto message = notifier->onScreen()) shown.push_back(*message);
    return shown;
  }
  bool shows(const Screen& expected) { return screen() == expected; }
};

// A notification server that keeps what it shows, replacing a notification in place when asked
// to, and displays the body with its markup rendered: tags dropped, entities decoded.
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const char* const kNotify = R"(import html, re
if not hasattr(self, 'screen'):
    self.screen = {}
    self.next_id = 1
if args[1] in self.screen:
    ret = args[1]
else:
    ret = self.next_id
    self.next_id += 1
self.screen[ret] = (args[3], html.unescape(re.sub('<[^>]*>', '', args[4])))
)";
const char* const kShown = R"(ret = []
for i in sorted(getattr(self, 'screen', {})):
    ret.append(self.screen[i])
)";

struct LinuxDesktop {
  DBusMockBus bus;
  std::vector<std::unique_ptr<LinuxDesktopNotifications>> notifiers;
  bool started = false;

  LinuxDesktop() {
    const QString mock = QStringLiteral("org.freedesktop.DBus.Mock");
    started = bus.started() &&
              bus.startMock(kService, {QStringLiteral("--session"), kService, kPath, kService}) &&
              bus.call(kService, kPath, mock, QStringLiteral("AddMethod"),
                       {kService, QStringLiteral("Notify"), QStringLiteral("susssasa{sv}i"),
                        QStringLiteral("u"), QString::fromUtf8(kNotify)}) &&
              bus.call(kService, kPath, mock, QStringLiteral("AddMethod"),
                       {kService, QStringLiteral("Shown"), QString(), QStringLiteral("a(ss)"),
                        QString::fromUtf8(kShown)});
  }
  bool ready() { return started; }
  DesktopNotifications& make() {
    return *notifiers.emplace_back(std::make_unique<LinuxDesktopNotifications>(bus.connection()));
  }
  // Asked on the notifiers' own connection, so the server has handled every notification sent
  // before; the replies to them, already received, are then handed to the notifiers, which may
  // send what waited for them.
  Screen screen() {
    auto reply = bus.connection().call(
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Shown")), QDBus::Block,
        5000);
    waitUntil([] { return false; }, 0.05);
    Screen shown;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return shown;
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
      QString summary, body;
      list.beginStructure();
      list >> summary >> body;
      list.endStructure();
      shown.emplace_back(summary.toStdString(), body.toStdString());
    }
    list.endArray();
    return shown;
  }
  // Whether the desktop comes to show `expected` once what is under way has arrived.
  bool shows(const Screen& expected) {
    return waitUntil([&] { return screen() == expected; }, 5);
  }
};

template <typename Backend>
class DesktopNotificationsContract : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!backend.ready()) GTEST_SKIP() << "needs dbus-daemon and python3-dbusmock";
  }
  Backend backend;
};

using Backends = ::testing::Types<FakeDesktop, LinuxDesktop>;
TYPED_TEST_SUITE(DesktopNotificationsContract, Backends);

TYPED_TEST(DesktopNotificationsContract, EachMessageReplacesTheOneItsSenderShowedBefore) {
  auto& desktop = this->backend;
  auto& answers = desktop.make();
  EXPECT_EQ(desktop.screen(), Screen{});
  answers.show("Logo on", "80 nits");
  EXPECT_TRUE(desktop.shows({{"Logo on", "80 nits"}})) << testing::PrintToString(desktop.screen());
  answers.show("Logo off", "");
  EXPECT_TRUE(desktop.shows({{"Logo off", ""}}))
      << "answers never pile up: " << testing::PrintToString(desktop.screen());

  auto& updates = desktop.make();
  updates.show("Halomark 1.5 is available", "");
  EXPECT_TRUE(desktop.shows({{"Logo off", ""}, {"Halomark 1.5 is available", ""}}))
      << "another sender's message stands beside it: " << testing::PrintToString(desktop.screen());
  answers.show("Logo on", "");
  EXPECT_TRUE(desktop.shows({{"Logo on", ""}, {"Halomark 1.5 is available", ""}}))
      << testing::PrintToString(desktop.screen());
}

TYPED_TEST(DesktopNotificationsContract, MessagesInQuickSuccessionStillReplaceEachOther) {
  auto& desktop = this->backend;
  auto& answers = desktop.make();
  // As fast as a desktop's actions can come, before the server has answered the first.
  answers.show("Logo off", "");
  answers.show("Logo on", "");
  answers.show("Logo off", "again");
  EXPECT_TRUE(desktop.shows({{"Logo off", "again"}})) << testing::PrintToString(desktop.screen());
}

TYPED_TEST(DesktopNotificationsContract, TheTextIsShownAsWritten) {
  auto& desktop = this->backend;
  auto& answers = desktop.make();
  const std::string body = "Quit <b>Tom & Jerry</b> &amp; \"Co\" <a href='x'>first</a>";
  answers.show("Can't turn the logo on", body);
  EXPECT_TRUE(desktop.shows({{"Can't turn the logo on", body}})) << testing::PrintToString(desktop.screen());
}

}  // namespace
