// The desktop's ways to the logo actions, with the real application on the sandbox's bus: the
// LogoLight methods (application running, and started by the bus), ActivateAction with the actions
// of the registered .desktop file, the KRunner runner, and the notifications that carry answers;
// and update checks run the same way against a loopback feed server.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "fakes/temp_tree.h"
#include "integration/sandbox.h"

namespace {

namespace fs = std::filesystem;

class DesktopActionsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(sandbox.device({"create"}).status, 0); }

  ProcessResult call(const std::string& path, const std::string& method,
                     const std::vector<std::string>& arguments = {},
                     const std::string& destination = "app.halomark.Halomark") {
    std::vector<std::string> command{"call",          "--session", "--dest",   destination,
                                     "--object-path", path,        "--method", method};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return sandbox.runProgram("/usr/bin/gdbus", command);
  }
  ProcessResult logoLight(const std::string& method, const std::vector<std::string>& arguments = {}) {
    return call("/app/halomark/Halomark", "app.halomark.Halomark.LogoLight." + method, arguments);
  }
  ProcessResult activate(const std::string& action, const std::string& parameter = "[]") {
    return call("/app/halomark/Halomark", "org.freedesktop.Application.ActivateAction",
                {action, parameter, "{}"});
  }
  bool owned(const std::string& name) {
    return call("/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", {name}, "org.freedesktop.DBus")
               .out.find("true") != std::string::npos;
  }
  pid_t startApp(const std::string& executable = "") {
    pid_t app = executable.empty() ? sandbox.spawnApp() : sandbox.spawn(executable, {});
    EXPECT_TRUE(Sandbox::waitUntil([&] { return owned("app.halomark.Halomark"); }, 10))
        << sandbox.output(app).err;
    return app;
  }
  void startNotificationServer() {
    notificationLog = sandbox.root() + "/notifications.log";
    sandbox.spawn("/usr/bin/python3",
                  {"-m", "dbusmock", "--template", "notification_daemon", "-l", notificationLog});
    ASSERT_TRUE(Sandbox::waitUntil([&] { return owned("org.freedesktop.Notifications"); }, 10));
  }
  // The Notify calls so far, one line each.
  std::vector<std::string> notifications() {
    std::vector<std::string> lines;
    std::istringstream log(TempTree::read(notificationLog));
    for (std::string line; std::getline(log, line);)
      if (line.find(" Notify ") != std::string::npos) lines.push_back(line);
    return lines;
  }
  bool notified(std::size_t count) {
    return Sandbox::waitUntil([&] { return notifications().size() >= count; }, 5);
  }

  Sandbox sandbox;
  std::string notificationLog;
};

TEST_F(DesktopActionsTest, EachLogoLightMethodAnswersTheRunningApplication) {
  pid_t app = startApp();
  EXPECT_EQ(logoLight("GetLogoLightStatus").out, "(true, 'The logo is following the display.')\n");
  EXPECT_EQ(logoLight("TurnLogoLightOff").out, "('The logo is off.',)\n");
  EXPECT_EQ(sandbox.backlightMode(), 0) << "the running application applies the change at once";
  EXPECT_EQ(logoLight("GetLogoLightStatus").out, "(false, 'The logo is off.')\n");
  EXPECT_EQ(logoLight("TurnLogoLightOn").out, "('The logo is following the display.',)\n");
  EXPECT_EQ(sandbox.backlightMode(), 2);
  EXPECT_EQ(logoLight("ToggleLogoLight").out, "('The logo is off.',)\n");
  EXPECT_EQ(logoLight("SetLogoLight", {"fixed", "4000"}).out, "('The logo is at a fixed 1,000 nits.',)\n");
  EXPECT_EQ(sandbox.run({"status"}).out.rfind("Setting:      Fixed, 1,000 nits\n", 0), 0u);

  auto unknown = logoLight("SetLogoLight", {"bright", "300"});
  EXPECT_NE(unknown.status, 0);
  EXPECT_NE(
      unknown.err.find("org.freedesktop.DBus.Error.InvalidArgs: Unknown logo light mode \"bright\": use off, "
                       "automatic or fixed."),
      std::string::npos)
      << unknown.err;
  EXPECT_EQ(sandbox.run({"status"}).out.rfind("Setting:      Fixed, 1,000 nits\n", 0), 0u);
  EXPECT_EQ(sandbox.stop(app), 0);
}

TEST_F(DesktopActionsTest, TheBusStartsTheApplicationToAnswer) {
  EXPECT_EQ(sandbox.stop(startApp()), 0);
  ASSERT_FALSE(owned("app.halomark.Halomark"));
  auto off = logoLight("TurnLogoLightOff");
  EXPECT_EQ(off.out, "('The logo is off.',)\n") << off.err;
  EXPECT_TRUE(owned("app.halomark.Halomark"));
  EXPECT_EQ(sandbox.backlightMode(), 0);
}

TEST_F(DesktopActionsTest, DesktopEntryActionsAnswerWithOneReplacedNotification) {
  startNotificationServer();
  pid_t app = startApp();
  std::string entry = TempTree::read(sandbox.dataHome() + "/applications/app.halomark.Halomark.desktop");
  ASSERT_NE(entry.find("\nActions=turn-off;turn-on;toggle;\n"), std::string::npos) << entry;
  for (const char* action : {"turn-off", "turn-on", "toggle"}) {
    auto activated = activate(action);
    EXPECT_EQ(activated.status, 0) << action << activated.err;
  }
  ASSERT_TRUE(notified(3));
  auto shown = notifications();
  EXPECT_NE(shown[0].find("Notify \"Halomark\" 0 \"\" \"The logo is off.\""), std::string::npos) << shown[0];
  EXPECT_NE(shown[1].find("Notify \"Halomark\" 1 \"\" \"The logo is following the display.\""),
            std::string::npos)
      << "the second answer replaces the first: " << shown[1];
  EXPECT_NE(shown[2].find("Notify \"Halomark\" 1 \"\" \"The logo is off.\""), std::string::npos) << shown[2];
  EXPECT_EQ(sandbox.backlightMode(), 0);

  EXPECT_EQ(activate("set", "[<('fixed', 20.0)>]").status, 0);
  ASSERT_TRUE(notified(4));
  EXPECT_NE(notifications()[3].find("\"The logo is at a fixed 20 nits.\""), std::string::npos);
  auto refused = activate("set", "[<('dim', 20.0)>]");
  EXPECT_NE(refused.err.find("InvalidArgs: Unknown logo light mode \"dim\""), std::string::npos)
      << refused.err;
  EXPECT_EQ(sandbox.stop(app), 0);
}

TEST_F(DesktopActionsTest, TheRunnerOffersAndRunsTheActionForAPhrase) {
  startNotificationServer();
  pid_t app = startApp();
  auto plugin = TempTree::read(sandbox.dataHome() + "/krunner/dbusplugins/app.halomark.Halomark.desktop");
  EXPECT_NE(plugin.find("\nX-Plasma-DBusRunner-Path=/runner\n"), std::string::npos) << plugin;
  auto match = call("/runner", "org.kde.krunner1.Match", {"turn OFF halomark"});
  EXPECT_EQ(match.out, "([('turn-off', 'Logo Off', '', 100, 1.0, {'subtext': <'Halomark'>})],)\n")
      << match.err;
  EXPECT_EQ(call("/runner", "org.kde.krunner1.Match", {"make coffee"}).out, "(@a(sssida{sv}) [],)\n");
  EXPECT_EQ(call("/runner", "org.kde.krunner1.Run", {"turn-off", ""}).status, 0);
  ASSERT_TRUE(notified(1));
  EXPECT_NE(notifications()[0].find("\"The logo is off.\""), std::string::npos);
  EXPECT_EQ(sandbox.backlightMode(), 0);
  EXPECT_EQ(sandbox.stop(app), 0);
}

// A copy of the bundle whose Info.plist names `feed` as its update feed.
std::string bundleWithFeed(const Sandbox& sandbox, const std::string& feed) {
  std::string bundle = sandbox.root() + "/apps/Halomark.app";
  fs::remove_all(bundle);
  fs::create_directories(sandbox.root() + "/apps");
  fs::copy(Sandbox::bundle(), bundle, fs::copy_options::recursive);
  std::string info = TempTree::read(bundle + "/Contents/Info.plist");
  const std::string empty = "<key>SUFeedURL</key>\n\t<string></string>";
  auto at = info.find(empty);
  if (at == std::string::npos) return "";
  info.replace(at, empty.size(), "<key>SUFeedURL</key><string>" + feed + "</string>");
  std::ofstream(bundle + "/Contents/Info.plist") << info;
  return bundle + "/Contents/MacOS/Halomark";
}

class UpdateCheckTest : public DesktopActionsTest {
 protected:
  void SetUp() override {
    DesktopActionsTest::SetUp();
    startNotificationServer();
    pid_t server =
        sandbox.spawn("/usr/bin/python3", {HALOMARK_TEST_DATA "/feed_server.py", "--lifetime", "120"});
    ASSERT_TRUE(
        Sandbox::waitUntil([&] { return sandbox.output(server).out.find('\n') != std::string::npos; }, 10));
    port = sandbox.output(server).out;
    port.pop_back();
  }
  // The notification that answers "Check for Updates…" with the feed at `path` on the loopback server.
  std::string checkWith(const std::string& path) {
    std::string executable = bundleWithFeed(sandbox, "http://127.0.0.1:" + port + path);
    EXPECT_FALSE(executable.empty()) << "no empty SUFeedURL in the built Info.plist";
    std::size_t before = notifications().size();
    pid_t app = startApp(executable);
    EXPECT_EQ(activate("check-for-updates").status, 0);
    bool answered = notified(before + 1);
    sandbox.stop(app);
    return answered ? notifications()[before] : "no notification";
  }

  std::string port;
};

TEST_F(UpdateCheckTest, ChecksAFeedAndSaysWhatItFound) {
  // The body's second line, the download link, starts a line of its own in the server's log.
  EXPECT_NE(checkWith("/feed?version=2")
                .find("\"A new version of Halomark is available\" \"Halomark 9.9 is available \xE2\x80\x94 "
                      "you have 1.0."),
            std::string::npos)
      << notifications().back();
  EXPECT_NE(checkWith("/feed?version=1")
                .find("\"You're up to date\" \"Halomark 1.0 is the newest version available.\""),
            std::string::npos)
      << notifications().back();
  EXPECT_NE(checkWith("/feed?version=0.9").find("\"You're up to date\""), std::string::npos);
  EXPECT_NE(
      checkWith("/malformed").find("\"Couldn't check for updates\" \"The update feed is not valid XML.\""),
      std::string::npos)
      << notifications().back();
  EXPECT_NE(checkWith("/oversized?declared=0")
                .find("\"Couldn't check for updates\" \"The update feed is too large.\""),
            std::string::npos)
      << notifications().back();
  auto stored = nlohmann::json::parse(TempTree::read(sandbox.preferencesFile()));
  EXPECT_TRUE(stored["SULastCheckTime"].is_number()) << stored.dump();
}

TEST_F(UpdateCheckTest, ABuildWithoutAFeedPointsToWhereItWasInstalled) {
  pid_t app = startApp();
  EXPECT_EQ(activate("check-for-updates").status, 0);
  ASSERT_TRUE(notified(1));
  EXPECT_NE(notifications()[0].find("\"Updates come from where Halomark was installed\""), std::string::npos);
  // A desktop that passes the action a parameter it does not need still gets the check.
  EXPECT_EQ(activate("check-for-updates", "[<1>]").status, 0);
  ASSERT_TRUE(notified(2));
  EXPECT_NE(notifications()[1].find("\"Updates come from where Halomark was installed\""), std::string::npos);
  EXPECT_EQ(sandbox.stop(app), 0);
  EXPECT_FALSE(fs::exists(sandbox.preferencesFile()) &&
               nlohmann::json::parse(TempTree::read(sandbox.preferencesFile())).contains("SULastCheckTime"));
}

}  // namespace
