// What every HotKeys must do, run against the fake the logic tests use and against the Linux key
// grab on a private X server, the combination typed by xdotool: the delegate's hot key is tested
// on the fake, so the fake must hold, refuse and give back the combination as the desktop does.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <functional>
#include <memory>

#include "fakes/fake_hot_keys.h"
#include "linux/dbusmock_bus.h"
#include "linux/xvfb_server.h"
#include "platform/linux/hot_keys_linux.h"
#include "platform/linux/x11_key_grab.h"

namespace {

struct FakeKeys {
  FakeHotKeys keys;
  bool ready() { return true; }
  void press() { keys.press(); }
  // Another program holds the combination, or has let it go.
  void holdElsewhere(bool held) { keys.refuse = held; }
  void settle(const std::function<bool()>&) {}
};

// The X11 session the combination is grabbed in, made the process's for the test's duration.
class LinuxKeys {
 public:
  LinuxKeys() : previousDisplay_(qgetenv("DISPLAY")), previousWayland_(qgetenv("WAYLAND_DISPLAY")) {
    ensureCoreApplication();
    qputenv("DISPLAY", display_.display().toUtf8());
    qunsetenv("WAYLAND_DISPLAY");
  }
  ~LinuxKeys() {
    other_.reset();
    restore("DISPLAY", previousDisplay_);
    restore("WAYLAND_DISPLAY", previousWayland_);
  }

  bool ready() {
    return display_.started() && !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
  }
  void press() {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+alt+super+l")});
    // The event loop turns meanwhile, so the grab reads the press as it arrives.
    waitUntil([&] { return xdotool.state() == QProcess::NotRunning; }, 10);
  }
  // Another X client holding the combination, as a desktop's own shortcut would.
  void holdElsewhere(bool held) {
    if (!held) {
      other_.reset();
      return;
    }
    other_ = X11KeyGrab::grab(display_.display().toStdString(), [] {});
    ASSERT_TRUE(other_);
  }
  // Waits for `expected` (if anything is), then a little longer to catch anything extra.
  void settle(const std::function<bool()>& expected) {
    if (expected) waitUntil(expected, 5);
    waitUntil([] { return false; }, 0.3);
  }

  LinuxHotKeys keys;

 private:
  static void restore(const char* name, const QByteArray& value) {
    if (value.isNull()) {
      qunsetenv(name);
    } else {
      qputenv(name, value);
    }
  }

  XvfbServer display_;
  QByteArray previousDisplay_, previousWayland_;
  std::unique_ptr<HotKeyRegistration> other_;
};

template <typename Backend>
class HotKeysContract : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!backend.ready()) GTEST_SKIP() << "needs Xvfb and xdotool";
  }
  // Presses the combination; returns how many presses the action has seen.
  int press(bool expectRun) {
    int before = presses;
    backend.press();
    backend.settle(expectRun ? std::function<bool()>([&] { return presses > before; }) : nullptr);
    return presses;
  }
  std::unique_ptr<HotKeyRegistration> registerToggle() {
    return backend.keys.registerToggle([this] { ++presses; });
  }

  Backend backend;
  int presses = 0;
};

using Backends = ::testing::Types<FakeKeys, LinuxKeys>;
TYPED_TEST_SUITE(HotKeysContract, Backends);

TYPED_TEST(HotKeysContract, EachPressRunsTheActionUntilTheRegistrationIsReleased) {
  auto registration = this->registerToggle();
  ASSERT_TRUE(registration);
  EXPECT_EQ(this->press(true), 1);
  EXPECT_EQ(this->press(true), 2);

  registration.reset();
  EXPECT_EQ(this->press(false), 2) << "released, the combination no longer runs the action";
  registration = this->registerToggle();
  ASSERT_TRUE(registration) << "and is free to be registered again at once";
  EXPECT_EQ(this->press(true), 3);
}

TYPED_TEST(HotKeysContract, ACombinationHeldElsewhereIsRefusedUntilItIsLetGo) {
  this->backend.holdElsewhere(true);
  EXPECT_FALSE(this->registerToggle());
  this->backend.holdElsewhere(false);
  auto registration = this->registerToggle();
  ASSERT_TRUE(registration);
  EXPECT_EQ(this->press(true), 1);
}

}  // namespace
