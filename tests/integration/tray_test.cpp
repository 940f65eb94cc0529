// The tray application end to end: a private X server with a real XEmbed tray (trayer), driven by
// xdotool the way a user would click.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "integration/sandbox.h"
#include "integration/screen_reader.h"
#include "integration/status_notifier_watcher.h"
#include "linux/xvfb_server.h"

namespace {

namespace fs = std::filesystem;

bool installed(const char* program) { return fs::exists(fs::path("/usr/bin") / program); }

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!installed("trayer") || !installed("xdotool")) GTEST_SKIP() << "needs trayer and xdotool";
    ASSERT_TRUE(x.started());
    sandbox.setEnvironment("DISPLAY", x.display().toStdString());
    sandbox.setEnvironment("QT_QPA_PLATFORM", "xcb");
    ASSERT_EQ(sandbox.device({"create"}).status, 0);
    // Past the first launch: a welcome window opening over the tray would close an open popup.
    fs::create_directories(fs::path(sandbox.preferencesFile()).parent_path());
    std::ofstream(sandbox.preferencesFile()) << R"({"welcomeShown": true})";
    if (accessible) {
      if (!ScreenReader::available()) GTEST_SKIP() << "needs at-spi2-core and python3-pyatspi";
      ASSERT_TRUE(ScreenReader::start(sandbox));
    }
    if (testStartsThePanel) return;
    startTray();
    app = sandbox.spawnApp();
    // The item docks as a small window inside the tray.
    ASSERT_TRUE(Sandbox::waitUntil([&] { return icon().width > 0; }, 15)) << sandbox.output(app).err;
  }

  void startTray() {
    sandbox.spawn("/usr/bin/trayer",
                  {"--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
                   "--transparent", "false", "--SetDockType", "true", "--expand", "true"});
    ASSERT_TRUE(Sandbox::waitUntil([&] { return !windows("--classname", "panel").empty(); }, 10));
  }

  std::vector<std::string> windows(const std::string& how, const std::string& name) {
    auto found = sandbox.runProgram("/usr/bin/xdotool", {"search", "--onlyvisible", how, name});
    std::vector<std::string> ids;
    std::istringstream lines(found.out);
    for (std::string id; std::getline(lines, id);) ids.push_back(id);
    return ids;
  }
  Geometry geometry(const std::string& window) {
    auto shown = sandbox.runProgram("/usr/bin/xdotool", {"getwindowgeometry", "--shell", window});
    Geometry g;
    std::istringstream lines(shown.out);
    for (std::string line; std::getline(lines, line);) {
      auto equals = line.find('=');
      if (equals == std::string::npos) continue;
      int value = std::atoi(line.c_str() + equals + 1);
      std::string key = line.substr(0, equals);
      if (key == "X") g.x = value;
      if (key == "Y") g.y = value;
      if (key == "WIDTH") g.width = value;
      if (key == "HEIGHT") g.height = value;
    }
    return g;
  }
  // The docked status item: Halomark's small window inside the tray.
  Geometry icon() {
    for (const auto& id : windows("--class", "Halomark")) {
      Geometry g = geometry(id);
      if (g.width > 0 && g.width <= 32 && g.y < 24) return g;
    }
    return {};
  }
  // The open popup menu: Halomark's window below the tray.
  std::optional<Geometry> popup() {
    for (const auto& id : windows("--class", "Halomark")) {
      Geometry g = geometry(id);
      if (g.height > 100) return g;
    }
    return std::nullopt;
  }
  void click(int px, int py, const std::vector<std::string>& modifiers = {}, const char* button = "1") {
    std::vector<std::string> arguments{"mousemove", std::to_string(px), std::to_string(py)};
    for (const auto& key : modifiers) arguments.insert(arguments.end(), {"keydown", key});
    arguments.insert(arguments.end(), {"click", button});
    for (const auto& key : modifiers) arguments.insert(arguments.end(), {"keyup", key});
    sandbox.runProgram("/usr/bin/xdotool", arguments);
  }
  void clickIcon(const std::vector<std::string>& modifiers = {}, const char* button = "1") {
    Geometry g = icon();
    click(g.x + g.width / 2, g.y + g.height / 2, modifiers, button);
  }
  std::string setting() {
    auto status = sandbox.run({"status"});
    auto line = status.out.substr(0, status.out.find('\n'));
    return line;
  }

  XvfbServer x{QStringLiteral("800x600x24")};
  Sandbox sandbox;
  pid_t app = -1;
  bool accessible = false;
  // The test starts its panel itself (later, or another one than trayer).
  bool testStartsThePanel = false;
};

TEST_F(TrayTest, AClickOpensThePopupWhoseSwitchTurnsTheLogoOff) {
  ASSERT_EQ(sandbox.backlightMode(), 2);
  clickIcon();
  ASSERT_TRUE(Sandbox::waitUntil([&] { return popup().has_value(); }, 5));
  Geometry menu = *popup();
  // The switch sits at the right of the first row (x 214-246, y 7-25 of the row, inside the frame).
  click(menu.x + 1 + 230, menu.y + 1 + 16);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 0; }, 5)) << setting();
  EXPECT_EQ(setting(), "Setting:      Off");
}

TEST_F(TrayTest, EscapeAndAQuickClickReopenThePopupAndCtrlQQuitsThroughTheNormalQuit) {
  sandbox.run({"off"});
  // Escape closes the popup; a click right after it reaches the item as the second half of a double
  // click, and still opens the popup again.
  Geometry g = icon();
  std::string x = std::to_string(g.x + g.width / 2), y = std::to_string(g.y + g.height / 2);
  sandbox.runProgram("/usr/bin/xdotool", {"mousemove", x, y, "click", "1", "sleep", "0.1", "key", "Escape",
                                          "sleep", "0.05", "click", "1"});
  ASSERT_TRUE(Sandbox::waitUntil([&] { return popup().has_value(); }, 5));
  sandbox.runProgram("/usr/bin/xdotool", {"key", "ctrl+q"});
  EXPECT_EQ(sandbox.wait(app, 10), 0);
  // Quitting gives the logo back to the platform.
  EXPECT_EQ(sandbox.backlightMode(), 2);
}

TEST_F(TrayTest, AltClickAndMiddleClickToggleWithoutAPopupAndSoDoesTheHotKey) {
  clickIcon({"alt"});
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 0; }, 5));
  EXPECT_FALSE(popup().has_value());
  clickIcon({}, "2");
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 2; }, 5));
  EXPECT_FALSE(popup().has_value());
  sandbox.runProgram("/usr/bin/xdotool", {"key", "ctrl+alt+super+l"});
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 0; }, 5)) << "hot key";
}

// At login the application may start before the panel.
class LateTrayTest : public TrayTest {
 protected:
  void SetUp() override {
    testStartsThePanel = true;
    TrayTest::SetUp();
  }
};

TEST_F(LateTrayTest, WithoutATrayTheApplicationSaysSoOnceKeepsRunningAndDocksWhenOneAppears) {
  app = sandbox.spawnApp();
  const std::string notice = "halomark: no system tray yet; the status item appears when the panel has one\n";
  ASSERT_TRUE(
      Sandbox::waitUntil([&] { return sandbox.output(app).err.find(notice) != std::string::npos; }, 15))
      << sandbox.output(app).err;
  EXPECT_EQ(sandbox.run({"off"}).status, 0);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 0; }, 5))
      << "the application works without a tray";

  startTray();
  EXPECT_TRUE(Sandbox::waitUntil([&] { return icon().width > 0; }, 15)) << sandbox.output(app).err;
  clickIcon();
  EXPECT_TRUE(Sandbox::waitUntil([&] { return popup().has_value(); }, 5));
  std::string err = sandbox.output(app).err;
  EXPECT_EQ(err.find(notice), err.rfind(notice)) << "said once: " << err;
}

// A real StatusNotifierItem host from Debian: a standalone bar that shows registered items, runs
// the watcher, and renders the item's exported menu itself.
class StatusNotifierHostTest : public TrayTest {
 protected:
  void SetUp() override {
    if (!installed("gtk-sni-tray-standalone")) GTEST_SKIP() << "needs haskell-gtk-sni-tray-utils";
    testStartsThePanel = true;
    TrayTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    // A light bar, so the item drawn in the palette's dark text colour shows on the screenshots.
    sandbox.spawn("/usr/bin/gtk-sni-tray-standalone",
                  {"--watcher", "--top", "--end", "--size", "28", "--color", "white"});
    ASSERT_TRUE(Sandbox::waitUntil([&] { return bar().width > 0; }, 10));
    app = sandbox.spawnApp();
    ASSERT_TRUE(Sandbox::waitUntil(
        [&] {
          return sandbox
                     .runProgram("/usr/bin/gdbus",
                                 {"call", "--session", "-d", "org.kde.StatusNotifierWatcher", "-o",
                                  "/StatusNotifierWatcher", "-m", "org.freedesktop.DBus.Properties.Get",
                                  "org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems"})
                     .out.find("<['") != std::string::npos;
        },
        15))
        << sandbox.output(app).err;
  }
  Geometry bar() {
    for (const auto& id : windows("--name", "gtk-sni-tray-standalone")) {
      Geometry g = geometry(id);
      if (g.height == 28 && g.width > 100) return g;
    }
    return {};
  }
  // The bar's own menu window, once it shows one.
  bool barMenuShown() {
    for (const auto& id : windows("--name", "gtk-sni-tray-standalone"))
      if (geometry(id).height > 100) return true;
    return false;
  }
  // The only item sits at the bar's end.
  void clickItem(const char* button) {
    Geometry g = bar();
    click(g.x + g.width - 14, g.y + 14, {}, button);
  }
};

TEST_F(StatusNotifierHostTest, APrimaryClickOpensTheFullPopupAndASecondaryOneTheHostsNativeMenu) {
  // The bar shows the item a moment after it registered; a click on the empty bar does nothing.
  bool opened = false;
  for (int attempt = 0; attempt < 5 && !opened; ++attempt) {
    clickItem("1");
    opened = Sandbox::waitUntil([&] { return popup().has_value(); }, 1);
  }
  ASSERT_TRUE(opened) << sandbox.output(app).err;
  Geometry menu = *popup();
  EXPECT_GE(menu.x, 0);
  EXPECT_LE(menu.x + menu.width, 800) << "the popup stays on the screen";
  click(menu.x + 1 + 230, menu.y + 1 + 16);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 0; }, 5)) << setting();
  sandbox.runProgram("/usr/bin/xdotool", {"key", "Escape"});
  ASSERT_TRUE(Sandbox::waitUntil([&] { return !popup().has_value(); }, 5));

  // The host draws the exported menu; its first row is the "Logo light" check item.
  clickItem("3");
  ASSERT_TRUE(Sandbox::waitUntil([&] { return barMenuShown(); }, 5));
  EXPECT_FALSE(popup().has_value());
  sandbox.runProgram("/usr/bin/xdotool", {"key", "Down", "Return"});
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 2; }, 5)) << setting();
}

class AccessibleTrayTest : public TrayTest {
 protected:
  void SetUp() override {
    accessible = true;
    TrayTest::SetUp();
  }
};

TEST_F(AccessibleTrayTest, AScreenReaderSeesThePopupsSwitchAndCanPressIt) {
  auto reader = ScreenReader::readAndPressSwitch(sandbox, [&](int attempt) {
    if (attempt) sandbox.runProgram("/usr/bin/xdotool", {"key", "Escape"});
    clickIcon();
  });
  ASSERT_EQ(reader.status, 0) << reader.out << reader.err;
  for (const char* line : {"role: check box\n", "description: switch\n", "checked: True\n",
                           "actions: Press,Toggle\n", "checked after press: False\n"})
    EXPECT_NE(reader.out.find(line), std::string::npos) << line << "not in:\n" << reader.out;
  EXPECT_EQ(sandbox.backlightMode(), 0) << "the accessible press turns the logo off";
}

}  // namespace

namespace {

// A panel that speaks StatusNotifierItem: its native menu, read and clicked over dbusmenu.
class NativeMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x.started());
    sandbox.setEnvironment("DISPLAY", x.display().toStdString());
    sandbox.setEnvironment("QT_QPA_PLATFORM", "xcb");
    ASSERT_EQ(sandbox.device({"create"}).status, 0);
    ASSERT_TRUE(watcher.start());
    app = sandbox.spawnApp();
    ASSERT_TRUE(Sandbox::waitUntil([&] { return !watcher.item().empty(); }, 15)) << sandbox.output(app).err;
  }

  std::string menu(const std::string& method, const std::vector<std::string>& arguments) {
    return watcher.callItem("/MenuBar", "com.canonical.dbusmenu." + method, arguments);
  }
  // The properties of the item labelled `label` in a GetLayout answer, and its id.
  static std::pair<int, std::string> entry(const std::string& layout, const std::string& label) {
    std::smatch found;
    std::regex pattern("\\((\\d+), \\{([^}]*'label': <'" + label + "'>[^}]*)\\}");
    if (!std::regex_search(layout, found, pattern)) return {-1, {}};
    return {std::stoi(found[1]), found[2]};
  }

  XvfbServer x{QStringLiteral("800x600x24")};
  Sandbox sandbox;
  StatusNotifierWatcher watcher{sandbox};
  pid_t app = -1;
};

TEST_F(NativeMenuTest, TheHostSeesThePlainRowsAndActivatingOneActs) {
  std::string layout = menu("GetLayout", {"0", "-1", "[]"});
  for (const char* label : {"Logo light", "Automatic", "Fixed", "Brightness", "Low", "Medium", "High",
                            "Turn Off Automatically", "Stop Attention Signal", "About", "Quit Halomark"})
    EXPECT_NE(entry(layout, label).first, -1) << label << " missing from " << layout;
  auto [switchId, switchProperties] = entry(layout, "Logo light");
  EXPECT_NE(switchProperties.find("'toggle-type': <'checkmark'>"), std::string::npos) << switchProperties;
  EXPECT_NE(switchProperties.find("'toggle-state': <1>"), std::string::npos) << switchProperties;
  EXPECT_NE(entry(layout, "Automatic").second.find("'toggle-type': <'radio'>"), std::string::npos);
  EXPECT_NE(entry(layout, "Stop Attention Signal").second.find("'visible': <false>"), std::string::npos);
  // The updater answers the item, so the host may offer it.
  EXPECT_EQ(entry(layout, "Check for Updates…").second.find("'enabled': <false>"), std::string::npos);

  menu("Event", {std::to_string(switchId), "clicked", "<int32 0>", "0"});
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 0; }, 5));
  EXPECT_NE(entry(menu("GetLayout", {"0", "-1", "[]"}), "Logo light").second.find("'toggle-state': <0>"),
            std::string::npos);
}

}  // namespace
