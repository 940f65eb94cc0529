// The tray application in a Wayland session: a headless compositor (weston), a panel that speaks
// StatusNotifierItem, and a desktop portal offering global shortcuts. Where a popup cannot be
// placed at the icon, a primary click opens the control window; the hot key goes through the portal.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "integration/sandbox.h"
#include "integration/screen_reader.h"
#include "integration/status_notifier_watcher.h"

namespace {

namespace fs = std::filesystem;

class WaylandSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists("/usr/bin/weston") ||
        !fs::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so"))
      GTEST_SKIP() << "needs weston and qt6-wayland";
    if (!ScreenReader::available()) GTEST_SKIP() << "needs at-spi2-core and python3-pyatspi";
    sandbox.unsetEnvironment("DISPLAY");
    sandbox.setEnvironment("WAYLAND_DISPLAY", "halomark-wayland");
    sandbox.setEnvironment("QT_QPA_PLATFORM", "wayland");
    ASSERT_EQ(sandbox.device({"create"}).status, 0);
    sandbox.spawn("/usr/bin/weston",
                  {"--backend=headless-backend.so", "--socket=halomark-wayland", "--idle-time=0"});
    ASSERT_TRUE(
        Sandbox::waitUntil([&] { return fs::exists(sandbox.runtimeDirectory() + "/halomark-wayland"); }, 10));
    portal = sandbox.spawn("/usr/bin/python3", {HALOMARK_TEST_DATA "/global_shortcuts_portal.py", "170"});
    ASSERT_TRUE(watcher.start());
    ASSERT_TRUE(Sandbox::waitUntil([&] { return portalCall("Test.Press", "nothing").status == 0; }, 10));
    ASSERT_TRUE(ScreenReader::start(sandbox));
    app = sandbox.spawnApp();
    ASSERT_TRUE(Sandbox::waitUntil([&] { return !watcher.item().empty(); }, 15)) << sandbox.output(app).err;
  }

  ProcessResult portalCall(const std::string& method, const std::string& argument) {
    return sandbox.runProgram("/usr/bin/gdbus", {"call", "--session", "-d", "org.freedesktop.portal.Desktop",
                                                 "-o", "/org/freedesktop/portal/desktop", "-m",
                                                 "org.freedesktop.portal." + method, argument});
  }
  // What the portal was asked to bind, once it has been.
  nlohmann::json bound() {
    std::string out = sandbox.output(portal).out;
    auto line = out.find("{\"bound\"");
    if (line == std::string::npos) return {};
    return nlohmann::json::parse(out.substr(line, out.find('\n', line) - line));
  }

  Sandbox sandbox;
  StatusNotifierWatcher watcher{sandbox};
  pid_t portal = -1;
  pid_t app = -1;
};

TEST_F(WaylandSessionTest, TheShortcutIsBoundThroughThePortalTogglesAndIsReleasedOnQuit) {
  ASSERT_TRUE(Sandbox::waitUntil([&] { return !bound().is_null(); }, 10)) << sandbox.output(portal).err;
  nlohmann::json shortcut = bound()["bound"][0];
  EXPECT_EQ(shortcut["id"], "toggle-logo");
  EXPECT_EQ(shortcut["preferred_trigger"], "CTRL+ALT+LOGO+l");
  EXPECT_EQ(shortcut["description"], "Turn the logo light on or off");

  ASSERT_EQ(sandbox.backlightMode(), 2);
  portalCall("Test.Press", "toggle-logo");
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 0; }, 5));
  portalCall("Test.Press", "toggle-logo");
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 2; }, 5));

  EXPECT_EQ(sandbox.stop(app), 0) << sandbox.output(app).err;
  EXPECT_NE(
      sandbox.output(portal).out.find("{\"closed\": \"" + bound()["session"].get<std::string>() + "\"}"),
      std::string::npos)
      << sandbox.output(portal).out;
}

TEST_F(WaylandSessionTest, APrimaryClickOpensTheControlWindowWhoseSwitchAScreenReaderCanPress) {
  auto reader = ScreenReader::readAndPressSwitch(sandbox, [&](int) {
    watcher.callItem("/StatusNotifierItem", "org.kde.StatusNotifierItem.Activate", {"10", "10"});
  });
  ASSERT_EQ(reader.status, 0) << reader.out << reader.err << sandbox.output(app).err;
  EXPECT_NE(reader.out.find("role: check box\n"), std::string::npos) << reader.out;
  EXPECT_NE(reader.out.find("checked after press: False\n"), std::string::npos) << reader.out;
  EXPECT_EQ(sandbox.backlightMode(), 0);
}

}  // namespace
