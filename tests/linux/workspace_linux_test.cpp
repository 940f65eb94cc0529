// Running and frontmost applications from a mocked systemd user manager, a fixture /proc and a
// private X server.
#include "platform/linux/workspace_linux.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "dbusmock_bus.h"
#include "fakes/temp_tree.h"
#include "xvfb_server.h"

namespace fs = std::filesystem;

namespace {

const QString kSystemd = QStringLiteral("org.freedesktop.systemd1");
const QString kSystemdPath = QStringLiteral("/org/freedesktop/systemd1");

using Apps = std::vector<std::pair<std::string, std::string>>;

Apps summary(const std::vector<RunningApplication>& apps) {
  Apps result;
  for (const auto& app : apps) {
    EXPECT_FALSE(app.terminated);
    result.emplace_back(app.bundleIdentifier.value_or("?"), app.localizedName.value_or("-"));
  }
  std::sort(result.begin(), result.end());
  return result;
}

class WorkspaceTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("LC_ALL", "C", 1); }
  void TearDown() override { unsetenv("LC_ALL"); }
  void process(int pid, const std::string& cgroup, const std::string& environ = "") {
    fs::path dir = proc / std::to_string(pid);
    fs::create_directories(dir);
    std::ofstream(dir / "cgroup") << cgroup;
    std::ofstream(dir / "environ", std::ios::binary) << environ;
  }
  WorkspaceSources sources(const QString& display = {}) {
    std::string data = std::string(HALOMARK_TEST_DATA) + "/xdg/";
    return {proc.string(), {data + "home/applications", data + "system/applications"}, display.toStdString()};
  }
  bool startUserManager(const QString& units) {
    return bus.startMock(kSystemd, {QStringLiteral("--session"), kSystemd, kSystemdPath,
                                    kSystemd + QStringLiteral(".Manager")}) &&
           bus.call(kSystemd, kSystemdPath, QStringLiteral("org.freedesktop.DBus.Mock"),
                    QStringLiteral("AddMethod"),
                    {kSystemd + QStringLiteral(".Manager"), QStringLiteral("ListUnits"), QString(),
                     QStringLiteral("a(ssssssouso)"), QStringLiteral("ret = [%1]").arg(units)});
  }
  static QString unit(const char* name, const char* state) {
    return QStringLiteral(
               "('%1', '', 'loaded', '%2', 'running', '', '/org/freedesktop/systemd1/unit/u', 0, '', '/'),")
        .arg(QString::fromUtf8(name), QString::fromUtf8(state));
  }

  TempTree scratch;
  fs::path proc = scratch.root();
  DBusMockBus bus;
};

TEST_F(WorkspaceTest, RunningAppsFromTheUserManagersActiveAppUnits) {
  ASSERT_TRUE(bus.started());
  ASSERT_TRUE(startUserManager(unit("app-gnome-org.example.Editor-4123.scope", "active") +
                               unit("app-org.example.Viewer@autostart.service", "activating") +
                               unit("app-gnome-org.example.Stopped-99.scope", "inactive") +
                               unit("app-gnome-org.example.Unknown-7.scope", "active") +
                               unit("pipewire.service", "active")));
  process(100, "0::/user.slice/app-gnome-org.example.Other-1.scope\n");
  LinuxWorkspace workspace(sources(), bus.buses());
  Apps expected{{"org.example.Editor", "Text Editor"},
                {"org.example.Unknown", "-"},
                {"org.example.Viewer", "My Viewer"}};
  EXPECT_EQ(summary(workspace.runningApplications()), expected);
}

TEST_F(WorkspaceTest, WithoutAUserManagerTheProcessesAreRead) {
  ASSERT_TRUE(bus.started());
  process(
      100,
      "0::/user.slice/user-1000.slice/user@1000.service/app.slice/app-gnome-org.example.Editor-4123.scope\n");
  process(
      101,
      "0::/user.slice/user-1000.slice/user@1000.service/app.slice/app-gnome-org.example.Editor-4123.scope\n");
  const char launchedText[] =
      "GIO_LAUNCHED_DESKTOP_FILE=/usr/share/applications/org.example.Viewer.desktop\0"
      "GIO_LAUNCHED_DESKTOP_FILE_PID=102\0";
  std::string launched(launchedText, sizeof(launchedText) - 1);
  process(102, "0::/user.slice/user-1000.slice/session-2.scope\n", std::string("HOME=/x\0", 8) + launched);
  process(103, "0::/user.slice/user-1000.slice/session-2.scope\n", launched);  // inherited only
  process(104, "0::/init.scope\n");
  fs::create_directories(proc / "self");
  LinuxWorkspace workspace(sources(), bus.buses());
  Apps expected{{"org.example.Editor", "Text Editor"}, {"org.example.Viewer", "My Viewer"}};
  EXPECT_EQ(summary(workspace.runningApplications()), expected) << "one entry per application";
}

TEST_F(WorkspaceTest, ProcessesWhoseFilesCannotBeReadAreNotRunning) {
  ASSERT_TRUE(bus.started());
  process(100, "0::/user.slice/user@1000.service/app.slice/app-gnome-org.example.Editor-4123.scope\n");
  // Reading a file of a process that has just exited fails part way, as reading a folder does.
  fs::create_directories(proc / "101" / "cgroup");
  process(102, "0::/user.slice/user-1000.slice/session-2.scope\n");
  fs::remove(proc / "102" / "environ");
  fs::create_directories(proc / "102" / "environ");
  fs::create_directories(proc / "103");
  fs::create_directories(proc / "99999999999999999999");
  LinuxWorkspace workspace(sources(), bus.buses());
  Apps expected{{"org.example.Editor", "Text Editor"}};
  EXPECT_EQ(summary(workspace.runningApplications()), expected);
}

TEST_F(WorkspaceTest, FrontmostFromTheActiveWindowsProcess) {
  XvfbServer x;
  ASSERT_TRUE(x.started()) << "Xvfb is needed";
  process(4242,
          "0::/user.slice/user-1000.slice/user@1000.service/app.slice/app-org.example.Editor.service\n");
  process(4343, "0::/user.slice/user-1000.slice/session-2.scope\n");
  LinuxWorkspace workspace(sources(x.display()), bus.buses());
  EXPECT_EQ(workspace.frontmostApplication(), std::nullopt) << "no active window yet";

  ASSERT_TRUE(x.activateWindowOf(4242));
  auto front = workspace.frontmostApplication();
  ASSERT_TRUE(front);
  EXPECT_EQ(front->bundleIdentifier, "org.example.Editor");
  EXPECT_EQ(front->localizedName, "Text Editor");

  ASSERT_TRUE(x.activateWindowOf(4343));
  front = workspace.frontmostApplication();
  ASSERT_TRUE(front) << "a frontmost window without an application ID";
  EXPECT_EQ(front->bundleIdentifier, std::nullopt);
}

TEST_F(WorkspaceTest, NoXServerMeansNoFrontmostApplication) {
  LinuxWorkspace workspace(sources(), bus.buses());
  EXPECT_EQ(workspace.frontmostApplication(), std::nullopt);
  LinuxWorkspace unreachable(sources(QStringLiteral(":9876")), bus.buses());
  EXPECT_EQ(unreachable.frontmostApplication(), std::nullopt);
}

TEST_F(WorkspaceTest, InstalledApplicationsAndTheirNames) {
  LinuxWorkspace workspace(sources(), bus.buses());
  auto path = workspace.applicationPath("org.example.Viewer");
  ASSERT_TRUE(path);
  EXPECT_EQ(workspace.displayName(*path), "My Viewer");
  EXPECT_EQ(workspace.applicationPath("org.example.Missing"), std::nullopt);
}

}  // namespace
