// Running and frontmost applications by desktop application ID, and installed applications'
// .desktop files. Running applications come from the systemd user manager's app units, else from
// the processes' cgroups and launch environment; the frontmost one from X11 where it is present.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/interfaces/workspace.h"
#include "platform/linux_utilities/dbus_buses.h"
#include "platform/linux_utilities/desktop_entries.h"

class X11Connection;

struct WorkspaceSources {
  std::string procRoot = "/proc";
  std::vector<std::string> applicationDirs = DesktopEntries::applicationDirsFromEnvironment();
  std::string x11Display = "";  // empty: no X server; see `fromEnvironment`
  static WorkspaceSources fromEnvironment();
};

class LinuxWorkspace : public Workspace {
 public:
  explicit LinuxWorkspace(WorkspaceSources sources = WorkspaceSources::fromEnvironment(),
                          DBusBuses buses = {});
  ~LinuxWorkspace() override;

  std::vector<RunningApplication> runningApplications() override;
  std::optional<RunningApplication> frontmostApplication() override;
  // From X11's _NET_ACTIVE_WINDOW, the window itself or one of its ancestors.
  std::optional<bool> windowHasFocus(std::uint64_t window) override;
  // The installed .desktop file.
  std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override;
  // A .desktop file's name, else the file name without ".desktop".
  std::string displayName(const std::string& path) override;

 private:
  std::optional<std::vector<std::string>> idsFromUserManager();
  std::vector<std::string> idsFromProcesses();
  std::optional<std::string> appIdOfProcess(int pid);
  RunningApplication application(const std::string& id);

  WorkspaceSources sources_;
  DesktopEntries entries_;
  DBusBuses buses_;
  std::unique_ptr<X11Connection> x11_;
};
