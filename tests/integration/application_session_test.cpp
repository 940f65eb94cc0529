// The application and the tool together in a sandbox on the emulated logo device: settings reach
// the device through the running application, the logo is given back on quit, the watchdog repairs
// what the platform replaced, and URLs reach the application.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "integration/sandbox.h"

namespace {

using nlohmann::json;

const char* const kMapping = "LEPWMBrightnessNitsMapping";
const char* const kMaxRestriction = "LEPWMLuxToMaxNitsRestrictionMapping";
const char* const kTableKeys[] = {kMapping, "LEPWMLuxToMinNitsRestrictionMapping", kMaxRestriction};

class ApplicationSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sandbox.device({"create", "--multiplier", "2"}).status, 0);
    platformState = sandbox.deviceState();
  }

  double finalNits() { return sandbox.deviceState()["LEPWMState"]["FinalNits"].get<double>(); }
  bool showsPlatformBehaviour() {
    json now = sandbox.deviceState();
    for (const char* key : kTableKeys) {
      if (now[key] != platformState[key]) return false;
    }
    return now["LEBacklightMode"] == 2;
  }

  bool appOwnsItsName() {
    auto reply =
        sandbox.runProgram("/usr/bin/gdbus", {"call", "--session", "--dest", "org.freedesktop.DBus",
                                              "--object-path", "/org/freedesktop/DBus", "--method",
                                              "org.freedesktop.DBus.NameHasOwner", "app.halomark.Halomark"});
    return reply.out.find("true") != std::string::npos;
  }
  pid_t startApp() {
    pid_t app = sandbox.spawnApp();
    EXPECT_TRUE(Sandbox::waitUntil([&] { return appOwnsItsName(); }, 10)) << sandbox.output(app).err;
    return app;
  }
  // The attention signal's first level (600 nits) or its low step (18 nits).
  bool pulses() {
    double nits = finalNits();
    return nits == 600 || nits == 18;
  }

  Sandbox sandbox;
  json platformState;
};

TEST_F(ApplicationSessionTest, SettingsReachTheDeviceAndQuitGivesTheLogoBack) {
  pid_t app = startApp();
  EXPECT_TRUE(showsPlatformBehaviour()) << "automatic installs the platform's own tables";

  auto off = sandbox.run({"off"});
  EXPECT_EQ(off.status, 0) << off.err;
  EXPECT_EQ(off.err, "");
  EXPECT_EQ(off.out, "Setting:      Off\nLogo now:     0 nits\nHalomark app: running\n");
  EXPECT_EQ(sandbox.deviceState()["LEBacklightMode"], 0);
  EXPECT_EQ(sandbox.run({"status"}).out.rfind("Setting:      Off\n", 0), 0u);

  auto set = sandbox.run({"set", "80"});
  EXPECT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out, "Setting:      Fixed, 80 nits\nLogo now:     80 nits\nHalomark app: running\n");
  json state = sandbox.deviceState();
  EXPECT_EQ(state["LEBacklightMode"], 2);
  EXPECT_EQ(state["NitsMultiplier"], 2);
  EXPECT_EQ(state["LEPWMState"]["FinalNits"], 80);
  EXPECT_EQ(state[kMapping][1][1], 40) << "the mapping is divided by the multiplier";

  EXPECT_EQ(sandbox.stop(app), 0);
  EXPECT_TRUE(showsPlatformBehaviour()) << sandbox.deviceState().dump();
}

TEST_F(ApplicationSessionTest, QuitKeepsTheLogoOffWhenAskedTo) {
  pid_t app = startApp();
  ASSERT_EQ(sandbox.run({"off"}).status, 0);
  auto keepOff = sandbox.runProgram("/usr/bin/python3", {"-c",
                                                         "import json, sys\n"
                                                         "path = sys.argv[1]\n"
                                                         "data = json.load(open(path))\n"
                                                         "data['quitBehavior'] = 'keepOff'\n"
                                                         "json.dump(data, open(path, 'w'))\n",
                                                         sandbox.preferencesFile()});
  ASSERT_EQ(keepOff.status, 0) << keepOff.err;
  EXPECT_EQ(sandbox.stop(app), 0);
  json state = sandbox.deviceState();
  EXPECT_EQ(state["LEBacklightMode"], 0);
  for (const char* key : kTableKeys) EXPECT_EQ(state[key], platformState[key]) << key;
}

TEST_F(ApplicationSessionTest, ASecondCopyExitsQuietly) {
  pid_t first = startApp();
  pid_t second = sandbox.spawnApp();
  EXPECT_EQ(sandbox.wait(second, 10), 0);
  EXPECT_EQ(sandbox.output(second).out, "");
  EXPECT_EQ(sandbox.output(second).err, "");
  EXPECT_TRUE(appOwnsItsName());
  EXPECT_EQ(sandbox.stop(first), 0);
}

TEST_F(ApplicationSessionTest, UrlsReachTheRunningApplication) {
  pid_t app = startApp();
  double resting = finalNits();
  auto start = sandbox.run({"halomark://signal?message=Hi&style=steady"});
  EXPECT_EQ(start.status, 0);
  EXPECT_EQ(start.out + start.err, "");
  EXPECT_TRUE(Sandbox::waitUntil([&] { return finalNits() == 500; }, 5))
      << "the steady signal glows at 500 nits";

  EXPECT_EQ(sandbox.run({"halomark://signal/stop"}).status, 0);
  EXPECT_TRUE(Sandbox::waitUntil([&] { return finalNits() == resting; }, 5));
  EXPECT_EQ(sandbox.stop(app), 0);
}

TEST_F(ApplicationSessionTest, AUrlStartsTheApplicationWhenItDoesNotRun) {
  auto start = sandbox.run({"halomark://signal?message=Hi"});
  EXPECT_EQ(start.status, 0) << start.err;
  EXPECT_TRUE(appOwnsItsName());
  EXPECT_TRUE(Sandbox::waitUntil([&] { return pulses(); }, 5)) << sandbox.deviceState().dump();
}

TEST_F(ApplicationSessionTest, TheDesktopRegistrationLetsTheBusStartTheApplication) {
  // The first start registers the application; the bus can start it from then on.
  EXPECT_EQ(sandbox.stop(startApp()), 0);
  ASSERT_FALSE(appOwnsItsName());
  auto open = sandbox.runProgram("/usr/bin/gdbus",
                                 {"call", "--session", "--dest", "app.halomark.Halomark", "--object-path",
                                  "/app/halomark/Halomark", "--method", "org.freedesktop.Application.Open",
                                  "['halomark://signal?message=Hi&style=steady']", "{}"});
  EXPECT_EQ(open.status, 0) << open.err;
  EXPECT_TRUE(appOwnsItsName());
  EXPECT_TRUE(Sandbox::waitUntil([&] { return finalNits() == 500; }, 5)) << sandbox.deviceState().dump();
}

TEST_F(ApplicationSessionTest, SignalsPostedByShortLivedToolsAreNeverLost) {
  pid_t app = startApp();
  double resting = finalNits();
  for (int round = 0; round < 5; ++round) {
    ASSERT_EQ(sandbox.run({"signal", "--message", "round " + std::to_string(round)}).status, 0);
    ASSERT_TRUE(Sandbox::waitUntil([&] { return pulses(); }, 3)) << "start of round " << round;
    ASSERT_EQ(sandbox.run({"signal", "stop"}).status, 0);
    ASSERT_TRUE(Sandbox::waitUntil([&] { return finalNits() == resting; }, 3)) << "stop of round " << round;
  }
  EXPECT_EQ(sandbox.stop(app), 0);
}

// Waits on the bus for the application's name to get an owner and sends a steady signal at once.
const char* const kSendOnOwnership = R"(
import dbus, dbus.mainloop.glib
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
loop = GLib.MainLoop()
def owner_changed(name, old, new):
    if name == 'app.halomark.Halomark' and new:
        bus.send_message(dbus.lowlevel.SignalMessage('/app/halomark/Halomark', 'app.halomark.Halomark', 'signal'))
        loop.quit()
bus.add_signal_receiver(owner_changed, signal_name='NameOwnerChanged', dbus_interface='org.freedesktop.DBus')
print('watching', flush=True)
loop.run()
bus.flush()
)";

TEST_F(ApplicationSessionTest, TheApplicationListensAsSoonAsItOwnsItsName) {
  // A signal sent the moment the name appears must be heard: the tool relies on that.
  for (int round = 0; round < 3; ++round) {
    pid_t sender = sandbox.spawn("/usr/bin/python3", {"-c", kSendOnOwnership});
    ASSERT_TRUE(Sandbox::waitUntil([&] { return sandbox.output(sender).out == "watching\n"; }, 10));
    pid_t app = sandbox.spawnApp();
    EXPECT_EQ(sandbox.wait(sender, 10), 0) << sandbox.output(sender).err;
    EXPECT_TRUE(Sandbox::waitUntil([&] { return pulses(); }, 3)) << "round " << round;
    EXPECT_EQ(sandbox.stop(app), 0);
  }
}

TEST_F(ApplicationSessionTest, WithoutASessionBusTheToolStillStoresAndReports) {
  sandbox.unsetEnvironment("DBUS_SESSION_BUS_ADDRESS");
  // Nor the bus socket a systemd user session keeps in the runtime directory.
  std::string runtime = sandbox.root() + "/run-without-bus";
  ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
  sandbox.setEnvironment("XDG_RUNTIME_DIR", runtime);
  // With a display named, libdbus would autolaunch a bus of its own if asked to connect.
  sandbox.setEnvironment("DISPLAY", ":77");
  auto off = sandbox.run({"off"});
  EXPECT_EQ(off.status, 0) << off.err;
  EXPECT_NE(off.out.find("Setting:      Off\n"), std::string::npos);
  // The application the tool started is seen through the instance guard, which needs no bus.
  EXPECT_NE(off.out.find("Halomark app: running\n"), std::string::npos) << off.out << off.err;
  for (pid_t pid : sandbox.livingProcesses()) {
    for (const auto& word : Sandbox::commandLine(pid)) EXPECT_EQ(word.find("dbus-launch"), std::string::npos);
  }
}

TEST_F(ApplicationSessionTest, TheWatchdogWritesBackWhatThePlatformReplaced) {
  pid_t app = startApp();
  ASSERT_EQ(sandbox.run({"set", "80"}).status, 0);
  json written = sandbox.deviceState()[kMaxRestriction];
  ASSERT_EQ(sandbox.device({"set-table", kMaxRestriction, "[[0, 5], [1, 5]]"}).status, 0);
  EXPECT_EQ(finalNits(), 5) << "the replaced restriction holds the logo down";
  // The watchdog runs every 30 seconds from launch.
  EXPECT_TRUE(Sandbox::waitUntil([&] { return sandbox.deviceState()[kMaxRestriction] == written; }, 35));
  EXPECT_EQ(finalNits(), 80);
  EXPECT_EQ(sandbox.stop(app), 0);
}

}  // namespace
