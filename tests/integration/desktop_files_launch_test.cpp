// The registration files the application writes for a bundle kept under an awkward path are ones
// the desktop can run: the desktop entry launched by GLib (gio launch) and the bus service file
// started by dbus-daemon. A path that one of them cannot carry is refused with a reason instead of
// written as a file that silently does nothing.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

#include "integration/sandbox.h"

namespace {

namespace fs = std::filesystem;

class DesktopFilesLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(sandbox.device({"create"}).status, 0); }

  // A copy of the bundle in a folder of that name; its executable.
  std::string bundleIn(const std::string& folder) {
    std::string bundle = sandbox.root() + "/" + folder + "/Halomark.app";
    fs::create_directories(bundle);
    fs::copy(Sandbox::bundle(), bundle, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    return bundle + "/Contents/MacOS/Halomark";
  }
  ProcessResult bus(const std::string& method, const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"call",          "--session",
                                     "--dest",        "org.freedesktop.DBus",
                                     "--object-path", "/org/freedesktop/DBus",
                                     "--method",      "org.freedesktop.DBus." + method};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return sandbox.runProgram("/usr/bin/gdbus", command);
  }
  bool running() {
    return bus("NameHasOwner", {"app.halomark.Halomark"}).out.find("true") != std::string::npos;
  }
  // The executable of the application that owns the name, after it has been started.
  std::string runningExecutable() {
    if (!Sandbox::waitUntil([&] { return running(); }, 15)) return "not started";
    // "(uint32 12345,)"
    auto reply = bus("GetConnectionUnixProcessID", {"app.halomark.Halomark"}).out;
    auto process = static_cast<pid_t>(std::stol(reply.substr(reply.rfind(' ') + 1)));
    std::error_code error;
    auto executable = fs::read_symlink("/proc/" + std::to_string(process) + "/exe", error).string();
    ::kill(process, SIGTERM);
    Sandbox::waitUntil([&] { return !running(); }, 10);
    return executable;
  }
  // Runs the application from `executable` once, so it registers itself; its error output.
  std::string registerFrom(const std::string& executable) {
    pid_t app = sandbox.spawn(executable, {});
    EXPECT_TRUE(Sandbox::waitUntil([&] { return running(); }, 15)) << sandbox.output(app).err;
    sandbox.stop(app);
    return sandbox.output(app).err;
  }
  std::string entry() const { return sandbox.dataHome() + "/applications/app.halomark.Halomark.desktop"; }
  std::string service() const {
    return sandbox.dataHome() + "/dbus-1/services/app.halomark.Halomark.service";
  }

  Sandbox sandbox;
};

TEST_F(DesktopFilesLaunchTest, GLibAndTheBusStartTheApplicationFromAPathWithQuotesAndShellCharacters) {
  for (const std::string folder : {"a \"quoted\" $HOME `id` folder", "it's $(id) `x`"}) {
    std::string executable = bundleIn(folder);
    auto complaints = registerFrom(executable);
    EXPECT_EQ(complaints.find("couldn't write"), std::string::npos) << complaints;

    auto launched = sandbox.runProgram("/usr/bin/gio", {"launch", entry()});
    EXPECT_EQ(launched.status, 0) << launched.err;
    EXPECT_EQ(runningExecutable(), executable) << "gio launch of\n" << launched.err;

    auto started = bus("StartServiceByName", {"app.halomark.Halomark", "0"});
    EXPECT_EQ(started.status, 0) << started.err;
    EXPECT_EQ(runningExecutable(), executable) << "bus activation";
    fs::remove_all(sandbox.root() + "/" + folder);
  }
}

TEST_F(DesktopFilesLaunchTest, APathAFileCannotCarryIsRefusedWithTheReasonAndTheOtherFileStillWorks) {
  // GLib cannot launch a program whose path holds a percent sign; the bus can.
  std::string percent = bundleIn("100% sure");
  auto complaints = registerFrom(percent);
  EXPECT_NE(
      complaints.find("couldn't write " + entry() +
                      ": its Exec value holds a percent sign, which desktops built on GLib cannot launch"),
      std::string::npos)
      << complaints;
  EXPECT_FALSE(fs::exists(entry()));
  EXPECT_EQ(bus("StartServiceByName", {"app.halomark.Halomark", "0"}).status, 0);
  EXPECT_EQ(runningExecutable(), percent);

  // A backslash is the other way round.
  std::string backslash = bundleIn("back\\slash");
  complaints = registerFrom(backslash);
  EXPECT_NE(complaints.find("couldn't write " + service() +
                            ": its Exec value holds a backslash, which D-Bus service files cannot carry"),
            std::string::npos)
      << complaints;
  EXPECT_EQ(sandbox.runProgram("/usr/bin/gio", {"launch", entry()}).status, 0);
  EXPECT_EQ(runningExecutable(), backslash);
}

}  // namespace
