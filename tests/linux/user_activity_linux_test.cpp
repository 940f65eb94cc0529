// Idle time, user activity and keep-display-on through an X server and mocked desktop services on a
// private bus.
#include "platform/linux_services/user_activity_linux.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "dbusmock_bus.h"
#include "fakes/temp_tree.h"
#include "xvfb_server.h"

namespace {

// A private session bus with mocked desktop services on it; never the user's own bus.
class PrivateBus {
 public:
  std::string address() const { return bus_.address().toStdString(); }

  // Puts a mock object on the bus whose calls are logged; returns the log's path.
  std::string mock(const char* name, const char* path, const char* interface) {
    std::string log = scratch_ / (std::string(name) + ".log");
    EXPECT_TRUE(bus_.startMock(QString::fromUtf8(name),
                               {QStringLiteral("-l"), QString::fromStdString(log), QString::fromUtf8(name),
                                QString::fromUtf8(path), QString::fromUtf8(interface)}))
        << name;
    return log;
  }
  void addMethod(const char* name, const char* path, const char* interface, const char* method,
                 const char* in, const char* out, const char* code) {
    EXPECT_TRUE(bus_.call(QString::fromUtf8(name), QString::fromUtf8(path),
                          QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("AddMethod"),
                          {QString::fromUtf8(interface), QString::fromUtf8(method), QString::fromUtf8(in),
                           QString::fromUtf8(out), QString::fromUtf8(code)}))
        << method;
  }

 private:
  TempTree scratch_;
  DBusMockBus bus_;
};

constexpr const char* kScreenSaver = "org.freedesktop.ScreenSaver";
constexpr const char* kScreenSaverPath = "/org/freedesktop/ScreenSaver";
constexpr const char* kMutter = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kMutterPath = "/org/gnome/Mutter/IdleMonitor/Core";

TEST(LinuxUserActivityTest, NothingToAskMeansUnknownAndFailure) {
  LinuxUserActivity activity("", "");
  EXPECT_EQ(activity.secondsSinceLastInput(), std::nullopt);
  EXPECT_FALSE(activity.declareUserActivity("Halomark attention signal"));
  EXPECT_EQ(activity.createDisplayAssertion("Halomark attention signal"), 0u);
  activity.releaseAssertion(1);

  // A bus without any of the services answers the same.
  PrivateBus bus;
  LinuxUserActivity empty("", bus.address());
  EXPECT_EQ(empty.secondsSinceLastInput(), std::nullopt);
  EXPECT_FALSE(empty.declareUserActivity("Halomark attention signal"));
  EXPECT_EQ(empty.createDisplayAssertion("Halomark attention signal"), 0u);
}

TEST(LinuxUserActivityTest, ScreenSaverOnTheSessionBus) {
  PrivateBus bus;
  std::string log = bus.mock(kScreenSaver, kScreenSaverPath, kScreenSaver);
  bus.addMethod(kScreenSaver, kScreenSaverPath, kScreenSaver, "GetSessionIdleTime", "", "u", "ret = 42");
  bus.addMethod(kScreenSaver, kScreenSaverPath, kScreenSaver, "SimulateUserActivity", "", "", "");
  // A cookie of 0 is a valid answer; the assertion handed out must still be non-zero.
  bus.addMethod(kScreenSaver, kScreenSaverPath, kScreenSaver, "Inhibit", "ss", "u",
                "ret = 0 if args[1].endswith(\"signal\") else 9");
  bus.addMethod(kScreenSaver, kScreenSaverPath, kScreenSaver, "UnInhibit", "u", "", "");

  LinuxUserActivity activity("", bus.address());
  EXPECT_EQ(activity.secondsSinceLastInput(), 42.0);
  EXPECT_TRUE(activity.declareUserActivity("Halomark attention signal"));
  std::uint32_t first = activity.createDisplayAssertion("Halomark attention signal");
  std::uint32_t second = activity.createDisplayAssertion("other");
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  activity.releaseAssertion(second);
  activity.releaseAssertion(first);
  activity.releaseAssertion(first);  // already released: no second call

  std::string calls = TempTree::read(log);
  EXPECT_NE(calls.find("SimulateUserActivity"), std::string::npos) << calls;
  EXPECT_NE(calls.find("Inhibit \"Halomark\" \"Halomark attention signal\""), std::string::npos) << calls;
  auto firstRelease = calls.find("UnInhibit 9");
  auto secondRelease = calls.find("UnInhibit 0");
  EXPECT_NE(firstRelease, std::string::npos) << calls;
  EXPECT_NE(secondRelease, std::string::npos) << calls;
  EXPECT_EQ(calls.find("UnInhibit 0", secondRelease + 1), std::string::npos) << calls;
}

TEST(LinuxUserActivityTest, MutterIdleMonitorComesBeforeTheScreenSaver) {
  PrivateBus bus;
  bus.mock(kScreenSaver, kScreenSaverPath, kScreenSaver);
  bus.addMethod(kScreenSaver, kScreenSaverPath, kScreenSaver, "GetSessionIdleTime", "", "u", "ret = 42");
  bus.mock(kMutter, kMutterPath, kMutter);
  bus.addMethod(kMutter, kMutterPath, kMutter, "GetIdletime", "", "t", "ret = 1500");

  LinuxUserActivity activity("", bus.address());
  EXPECT_EQ(activity.secondsSinceLastInput(), 1.5);
}

TEST(LinuxUserActivityTest, X11ScreenSaverExtensionComesFirst) {
  PrivateBus bus;
  bus.mock(kMutter, kMutterPath, kMutter);
  bus.addMethod(kMutter, kMutterPath, kMutter, "GetIdletime", "", "t", "ret = 987654321");
  {
    XvfbServer x;
    ASSERT_TRUE(x.started()) << "Xvfb is needed";
    LinuxUserActivity activity(x.display().toStdString(), bus.address());
    auto idle = std::optional<double>();
    waitUntil([&] { return (idle = activity.secondsSinceLastInput()).has_value(); }, 10);
    ASSERT_TRUE(idle.has_value());
    EXPECT_GE(*idle, 0.0);
    EXPECT_LT(*idle, 120.0);
  }

  // A display nobody serves: the next source answers. (Not the stopped server's number: a test
  // running alongside may start its own server there at once.)
  LinuxUserActivity unserved(":9875", bus.address());
  EXPECT_EQ(unserved.secondsSinceLastInput(), 987654.321);
}

}  // namespace
