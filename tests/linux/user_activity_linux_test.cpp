#include "platform/linux/user_activity_linux.h"

#include "xvfb_server.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Starts `command` (through the shell) in the background; returns its process id.
pid_t spawnShell(const std::string& command) {
  pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

void stopProcess(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

bool waitFor(const std::function<bool()>& ready) {
  for (int i = 0; i < 200; ++i) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// A private session bus with mocked desktop services on it; never the user's own bus.
class PrivateBus {
 public:
  PrivateBus() : dir_(fs::temp_directory_path() / ("halomark-bus-" + std::to_string(getpid()))) {
    fs::create_directories(dir_);
    fs::path addressFile = dir_ / "address";
    daemon_ = spawnShell("dbus-daemon --session --nofork --print-address=1 > '" + addressFile.string() +
                         "' 2>/dev/null");
    waitFor([&] { return readFile(addressFile).find('\n') != std::string::npos; });
    address_ = readFile(addressFile);
    address_.erase(address_.find_last_not_of('\n') + 1);
  }
  ~PrivateBus() {
    for (pid_t mock : mocks_) stopProcess(mock);
    stopProcess(daemon_);
    fs::remove_all(dir_);
  }
  const std::string& address() const { return address_; }

  // Puts a mock object on the bus whose calls are logged; returns the log's path.
  fs::path mock(const std::string& name, const std::string& path, const std::string& interface) {
    fs::path log = dir_ / (name + ".log");
    mocks_.push_back(spawnShell("env DBUS_SESSION_BUS_ADDRESS='" + address_ +
                                "' /usr/bin/python3 -m dbusmock -l '" + log.string() + "' " + name + " " +
                                path + " " + interface));
    waitFor([&] { return gdbus(name, path, "org.freedesktop.DBus.Introspectable.Introspect", "") == 0; });
    return log;
  }
  void addMethod(const std::string& name, const std::string& path, const std::string& interface,
                 const std::string& method, const std::string& in, const std::string& out,
                 const std::string& code) {
    int status = gdbus(name, path, "org.freedesktop.DBus.Mock.AddMethod",
                       interface + " " + method + " '" + in + "' '" + out + "' '" + code + "'");
    ASSERT_EQ(status, 0) << method;
  }

 private:
  int gdbus(const std::string& name, const std::string& path, const std::string& method,
            const std::string& args) {
    std::string command = "gdbus call --address '" + address_ + "' --dest " + name + " --object-path " +
                          path + " --method " + method + " " + args + " > /dev/null 2>&1";
    return std::system(command.c_str());
  }

  fs::path dir_;
  std::string address_;
  pid_t daemon_ = -1;
  std::vector<pid_t> mocks_;
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
  fs::path log = bus.mock(kScreenSaver, kScreenSaverPath, kScreenSaver);
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

  std::string calls = readFile(log);
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
    waitFor([&] { return (idle = activity.secondsSinceLastInput()).has_value(); });
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
