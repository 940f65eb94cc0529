// The tray application end to end: a private X server with a real XEmbed tray (trayer), driven by
// xdotool the way a user would click.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "integration/sandbox.h"
#include "integration/screen_reader.h"
#include "integration/status_notifier_watcher.h"
#include "linux/xvfb_server.h"
#include "menubar/contrast.h"
#include "menubar/popup_placement.h"

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
    if (withDevice) {
      ASSERT_EQ(sandbox.device({"create"}).status, 0);
    }
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
  // The logo switch at the end of the popup's first row: the first thing drawn, from the right,
  // on the row's middle line.
  void clickSwitch(const Geometry& menu) {
    int y = menu.y + 1 + 16;
    auto row = x.grab(menu.x, y, menu.width, 1);
    ASSERT_GT(row.width, 0);
    std::uint32_t background = row.at(menu.width - 4, 0);
    int end = menu.width - 4;
    while (end > menu.width / 2 && row.at(end, 0) == background) --end;
    ASSERT_GT(end, menu.width / 2) << "no switch on the first row";
    click(menu.x + end - 8, y);
  }
  static Contrast::Rgb rgb(std::uint32_t pixel) {
    return {std::uint8_t(pixel >> 16), std::uint8_t(pixel >> 8), std::uint8_t(pixel)};
  }
  // The contrast of the strongest ink in `area` of the screen against `background`; the area is
  // saved for a person to look at when HALOMARK_SCREENSHOTS names a folder.
  double inkContrast(const Geometry& area, std::uint32_t background, const std::string& pictureName) {
    auto picture = x.grab(area.x, area.y, area.width, area.height);
    if (const char* folder = std::getenv("HALOMARK_SCREENSHOTS"))
      picture.save(std::string(folder) + "/" + pictureName);
    double best = 1;
    for (std::uint32_t pixel : picture.pixels)
      best = std::max(best, Contrast::ratio(rgb(pixel), rgb(background)));
    return best;
  }
  // The item against the panel beside it, and the popup's status line against the menu.
  void expectLegible(const std::string& theme) {
    // The panel shows through the item's window around the picture: its most common colour.
    Geometry at = icon();
    auto item = x.grab(at.x, at.y, at.width, at.height);
    std::map<std::uint32_t, int> counts;
    for (std::uint32_t pixel : item.pixels) ++counts[pixel];
    std::uint32_t panel = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                            return a.second < b.second;
                          })->first;
    // The item takes its ink a moment after docking, once the panel has painted around it.
    Sandbox::waitUntil([&] { return inkContrast(at, panel, theme + "-item.ppm") >= 3.0; }, 3);
    EXPECT_GE(inkContrast(at, panel, theme + "-item.ppm"), 3.0) << "the item";
    clickIcon();
    ASSERT_TRUE(Sandbox::waitUntil([&] { return popup().has_value(); }, 5));
    ::usleep(300000);
    Geometry menu = *popup();
    if (const char* folder = std::getenv("HALOMARK_SCREENSHOTS"))
      x.grab(std::max(0, menu.x - 20), 0, std::min(800 - std::max(0, menu.x - 20), menu.width + 40),
             menu.y + menu.height)
          .save(std::string(folder) + "/" + theme + "-popup.ppm");
    // Under the switch's 32-pixel row, the status line's 20.
    Geometry status{menu.x + 4, menu.y + 1 + 32 + 2, menu.width - 8, 16};
    std::uint32_t background = x.grab(status.x, status.y, 1, 1).at(0, 0);
    EXPECT_GE(inkContrast(status, background, theme + "-status.ppm"), 4.5) << "the status line";
  }
  // A property of the StatusNotifierItem watcher on the sandbox's bus, as gdbus prints it.
  std::string watcherProperty(const std::string& name) {
    return sandbox
        .runProgram("/usr/bin/gdbus", {"call", "--session", "-d", "org.kde.StatusNotifierWatcher", "-o",
                                       "/StatusNotifierWatcher", "-m", "org.freedesktop.DBus.Properties.Get",
                                       "org.kde.StatusNotifierWatcher", name})
        .out;
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
  // Without it the machine has no logo light and the application says it is unavailable.
  bool withDevice = true;
  // The test starts its panel itself (later, or another one than trayer).
  bool testStartsThePanel = false;
};

TEST_F(TrayTest, AClickOpensThePopupWhoseSwitchTurnsTheLogoOff) {
  ASSERT_EQ(sandbox.backlightMode(), 2);
  clickIcon();
  ASSERT_TRUE(Sandbox::waitUntil([&] { return popup().has_value(); }, 5));
  clickSwitch(*popup());
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 0; }, 5)) << setting();
  EXPECT_EQ(setting(), "Setting:      Off");
}

TEST_F(TrayTest, TheItemAndTheStatusLineStandOutOnTheLightPanel) { expectLegible("light"); }

// A dark desktop theme, as Qt takes it from GTK's settings, over trayer's light panel.
class DarkThemeTrayTest : public TrayTest {
 protected:
  void SetUp() override {
    if (!fs::exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platformthemes/libqgtk3.so"))
      GTEST_SKIP() << "needs Qt's GTK platform theme";
    sandbox.setEnvironment("QT_QPA_PLATFORMTHEME", "gtk3");
    sandbox.setEnvironment("GTK_THEME", "Adwaita:dark");
    TrayTest::SetUp();
  }
};

TEST_F(DarkThemeTrayTest, TheItemAndTheStatusLineStandOut) { expectLegible("dark"); }

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
                  {"--watcher", "--top", "--end", "--size", "28", "--color", barColour});
    ASSERT_TRUE(Sandbox::waitUntil([&] { return bar().width > 0; }, 10));
    app = sandbox.spawnApp();
    ASSERT_TRUE(Sandbox::waitUntil(
        [&] { return watcherProperty("RegisteredStatusNotifierItems").find("<['") != std::string::npos; },
        15))
        << sandbox.output(app).err;
  }
  // Where the bar draws the item: the square at its end.
  Geometry itemOnBar() {
    Geometry g = bar();
    return {g.x + g.width - 28, g.y, 28, 28};
  }
  std::string barColour = "white";
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
  clickSwitch(menu);
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

// Xfce's panel as Debian sets it up for a new user: a dark 26-pixel bar at the top whose tray hosts
// status items, its settings kept by its own xfconf daemon on the sandbox's bus. Only the tray is
// on it, so nothing else on the bar changes between two pictures.
class XfcePanelTest : public TrayTest {
 protected:
  static constexpr const char* kXfconfd = "/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd";
  static constexpr int kPanelHeight = 26;

  void SetUp() override {
    if (!installed("xfce4-panel") || !fs::exists(kXfconfd)) GTEST_SKIP() << "needs xfce4-panel";
    testStartsThePanel = true;
    TrayTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    fs::path channels = fs::path(sandbox.configHome()) / "xfce4/xfconf/xfce-perchannel-xml";
    fs::create_directories(channels);
    std::ofstream(channels / "xfce4-panel.xml") << R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="dark-mode" type="bool" value="true"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="icon-size" type="uint" value="16"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
    <property name="plugin-2" type="string" value="systray">
      <property name="square-icons" type="bool" value="true"/>
    </property>
  </property>
</channel>
)";
    sandbox.spawn(kXfconfd, {});
    sandbox.spawn("/usr/bin/xfce4-panel", {});
    // Its tray hosts status items once it has registered as their host.
    ASSERT_TRUE(Sandbox::waitUntil(
        [&] { return watcherProperty("IsStatusNotifierHostRegistered").find("true") != std::string::npos; },
        15));
    // The bar is drawn once it is mapped; a quiet moment lets it settle before the picture.
    ASSERT_TRUE(Sandbox::waitUntil([&] { return panelDrawn(); }, 15));
    empty = x.grab(0, 0, 800, kPanelHeight);
    app = sandbox.spawnApp();
    ASSERT_TRUE(Sandbox::waitUntil([&] { return item().width > 0; }, 15)) << sandbox.output(app).err;
  }
  bool panelDrawn() {
    auto bar = x.grab(0, 0, 800, kPanelHeight);
    if (bar.width == 0 || bar.at(400, kPanelHeight / 2) == 0) return false;
    ::usleep(500000);
    return x.grab(0, 0, 800, kPanelHeight).pixels == bar.pixels;
  }
  // Where the item is drawn: what differs on the bar from the bar without it.
  Geometry item() {
    auto bar = x.grab(0, 0, 800, kPanelHeight);
    int left = 800, right = -1, top = kPanelHeight, bottom = -1;
    for (int py = 0; py < kPanelHeight; ++py)
      for (int px = 0; px < 800; ++px)
        if (bar.at(px, py) != empty.at(px, py)) {
          left = std::min(left, px), right = std::max(right, px);
          top = std::min(top, py), bottom = std::max(bottom, py);
        }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
  }
  // The contrast of the item's strongest ink against the bar behind it, from the screen.
  double itemContrast(const std::string& pictureName) {
    Geometry at = item();
    auto picture = x.grab(at.x, at.y, at.width, at.height);
    if (const char* folder = std::getenv("HALOMARK_SCREENSHOTS")) {
      int left = std::max(0, at.x - 60);
      x.grab(left, 0, std::min(800, at.x + at.width + 60) - left, kPanelHeight)
          .save(std::string(folder) + "/" + pictureName);
    }
    auto rgb = [](std::uint32_t pixel) {
      return Contrast::Rgb{std::uint8_t(pixel >> 16), std::uint8_t(pixel >> 8), std::uint8_t(pixel)};
    };
    Contrast::Rgb background = rgb(empty.at(at.x, at.y));
    double best = 1;
    for (std::uint32_t pixel : picture.pixels) best = std::max(best, Contrast::ratio(rgb(pixel), background));
    return best;
  }

  XvfbServer::Picture empty;
};

TEST_F(XfcePanelTest, TheItemStandsOutOnTheDarkBarLitOrNotAndItsClicksWork) {
  EXPECT_GE(itemContrast("xfce-lit.ppm"), 3.0) << "lit";
  sandbox.run({"off"});
  ASSERT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 0; }, 5));
  // The unlit picture replaces the lit one a moment after the change.
  ::usleep(500000);
  EXPECT_GE(itemContrast("xfce-unlit.ppm"), 3.0) << "unlit";

  Geometry at = item();
  click(at.x + at.width / 2, at.y + at.height / 2, {}, "2");
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.backlightMode() == 2; }, 5)) << "middle click toggles";
  EXPECT_FALSE(popup().has_value());

  click(at.x + at.width / 2, at.y + at.height / 2);
  ASSERT_TRUE(Sandbox::waitUntil([&] { return popup().has_value(); }, 5)) << sandbox.output(app).err;
  Geometry menu = *popup();
  // Against the bar under the item, without covering it.
  EXPECT_GE(menu.y, kPanelHeight);
  EXPECT_LE(menu.y, kPanelHeight + 4);
  EXPECT_LE(menu.x, at.x + at.width) << menu.x;
  EXPECT_GE(menu.x + menu.width, at.x) << menu.x;
  EXPECT_LE(menu.x + menu.width, 800);
}

// The bar as it comes, black.
class DarkStatusNotifierHostTest : public StatusNotifierHostTest {
 protected:
  void SetUp() override {
    barColour = "black";
    StatusNotifierHostTest::SetUp();
  }
};

TEST_F(DarkStatusNotifierHostTest, TheItemStandsOutOnTheBlackBar) {
  Geometry at = itemOnBar();
  std::uint32_t black = 0;
  // The bar draws the item a moment after it registered.
  Sandbox::waitUntil([&] { return inkContrast(at, black, "sni-dark-item.ppm") >= 3.0; }, 5);
  EXPECT_GE(inkContrast(at, black, "sni-dark-item.ppm"), 3.0);
  sandbox.run({"off"});
  ::usleep(700000);
  EXPECT_GE(inkContrast(at, black, "sni-dark-unlit.ppm"), 3.0) << "unlit";
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

TEST_F(AccessibleTrayTest, AScreenReadersWalkFindsEveryControlByItsTextAndRole) {
  pid_t reader = sandbox.spawn("/usr/bin/python3", {HALOMARK_TEST_DATA "/atspi_walk.py"});
  ASSERT_TRUE(Sandbox::waitUntil(
      [&] { return sandbox.output(reader).out.find("listening") != std::string::npos; }, 10));
  clickIcon();
  int status = sandbox.wait(reader, 60);
  std::string out = sandbox.output(reader).out;
  ASSERT_EQ(status, 0) << out << sandbox.output(reader).err;
  // Each control by what it shows, with its role; "role | name | description | focusable".
  for (const char* line : {"== popup: popup menu",
                           "panel | Logo light |",
                           "check box | Logo light | switch | True",
                           "radio button | Automatic |",
                           "radio button | Fixed |",
                           "slider | Fixed brightness |",
                           "slider value: 150 in 13-1000",
                           "push button | Low | Set logo to 25 nits | True",
                           "push button | High |",
                           "radio button | At 20% or Below |",
                           "menu item | Apps & Schedule… |",
                           "switch checked after press: False",
                           "battery level pressed:",
                           "== settings: frame | General",
                           "page tab | Automation |  | True",
                           "check box | Launch at login |  | True",
                           "combo box | When Halomark quits |  | True",
                           "push button | Reset | Reset to Apple defaults | True",
                           "push button | Set Up | Claude Code | True",
                           "combo box | When battery is low |  | True",
                           "panel | Startup & Updates |  | False"})
    EXPECT_NE(out.find(std::string(line)), std::string::npos) << line << " not in:\n" << out;
  EXPECT_EQ(sandbox.backlightMode(), 0) << "the switch pressed through AT-SPI";
  std::ifstream preferences(sandbox.preferencesFile());
  std::string stored((std::istreambuf_iterator<char>(preferences)), {});
  EXPECT_NE(stored.find("\"offBelowPercent\": 20"), std::string::npos) << stored;
}

class UnavailableAccessibleTrayTest : public AccessibleTrayTest {
 protected:
  void SetUp() override {
    withDevice = false;
    AccessibleTrayTest::SetUp();
  }
};

TEST_F(UnavailableAccessibleTrayTest, TheItemTellsAScreenReaderTheLogoIsUnavailable) {
  auto reader = sandbox.runProgram("/usr/bin/python3", {HALOMARK_TEST_DATA "/atspi_walk.py", "--item"});
  ASSERT_EQ(reader.status, 0) << reader.out << reader.err;
  EXPECT_NE(reader.out.find("item: Halomark, unavailable\n"), std::string::npos) << reader.out;
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

TEST_F(NativeMenuTest, AnActivationAtAPlaceOpensThePopupBesideItNotOverIt) {
  // A host on a top bar passes the place of its click on the item, at the screen's top.
  watcher.callItem("/StatusNotifierItem", "org.kde.StatusNotifierItem.Activate", {"600", "8"});
  std::optional<Geometry> menu;
  ASSERT_TRUE(Sandbox::waitUntil(
      [&] {
        auto found =
            sandbox.runProgram("/usr/bin/xdotool", {"search", "--onlyvisible", "--class", "Halomark"});
        std::istringstream ids(found.out);
        for (std::string id; std::getline(ids, id);) {
          auto shown = sandbox.runProgram("/usr/bin/xdotool", {"getwindowgeometry", "--shell", id}).out;
          std::smatch at;
          if (!std::regex_search(shown, at,
                                 std::regex("X=(-?\\d+)\nY=(-?\\d+)\nWIDTH=(\\d+)\nHEIGHT=(\\d+)")))
            continue;
          Geometry g{std::stoi(at[1]), std::stoi(at[2]), std::stoi(at[3]), std::stoi(at[4])};
          if (g.height > 100) menu = g;
        }
        return menu.has_value();
      },
      5))
      << sandbox.output(app).err;
  // Under the item (a square around the place), reaching across it, on the screen.
  EXPECT_GE(menu->y, 8 + PopupPlacement::kItemSide / 2);
  EXPECT_LE(menu->y, 8 + PopupPlacement::kItemSide / 2 + 8);
  EXPECT_LE(menu->x, 600);
  EXPECT_GE(menu->x + menu->width, 600);
  EXPECT_LE(menu->x + menu->width, 800);
}

}  // namespace
