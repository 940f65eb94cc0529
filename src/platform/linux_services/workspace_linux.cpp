#include "platform/linux_services/workspace_linux.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDBusArgument>
#include <QDBusObjectPath>

#include <algorithm>
#include <filesystem>

#include "platform/linux_utilities/app_units.h"
#include "platform/linux_utilities/sysfs_read.h"
#include "platform/linux_utilities/x11_connection.h"

namespace fs = std::filesystem;

namespace {

bool isActiveState(const QString& state) {
  return state == QStringLiteral("active") || state == QStringLiteral("activating") ||
         state == QStringLiteral("reloading");
}

}  // namespace

WorkspaceSources WorkspaceSources::fromEnvironment() {
  WorkspaceSources sources;
  sources.x11Display = X11Connection::displayFromEnvironment();
  return sources;
}

LinuxWorkspace::LinuxWorkspace(WorkspaceSources sources, DBusBuses buses)
    : sources_(std::move(sources)), entries_(sources_.applicationDirs), buses_(std::move(buses)) {}

LinuxWorkspace::~LinuxWorkspace() = default;

std::vector<RunningApplication> LinuxWorkspace::runningApplications() {
  auto ids = idsFromUserManager();
  // Desktops that do not start applications in app units leave only the processes to look at.
  if (!ids || ids->empty()) ids = idsFromProcesses();
  std::vector<RunningApplication> apps;
  for (const auto& id : *ids) apps.push_back(application(id));
  return apps;
}

std::optional<RunningApplication> LinuxWorkspace::frontmostApplication() {
  if (!x11_) x11_ = std::make_unique<X11Connection>(sources_.x11Display);
  auto pid = x11_->activeWindowPid();
  if (!pid) return std::nullopt;
  if (auto id = appIdOfProcess(*pid)) return application(*id);
  return RunningApplication{};
}

std::optional<bool> LinuxWorkspace::windowHasFocus(std::uint64_t window) {
  if (!x11_) x11_ = std::make_unique<X11Connection>(sources_.x11Display);
  return x11_->activeWindowHolds(window);
}

std::optional<std::string> LinuxWorkspace::applicationPath(const std::string& bundleIdentifier) {
  return entries_.path(bundleIdentifier);
}

std::string LinuxWorkspace::displayName(const std::string& path) { return DesktopEntries::displayName(path); }

RunningApplication LinuxWorkspace::application(const std::string& id) {
  RunningApplication app;
  app.bundleIdentifier = id;
  if (auto file = entries_.path(id)) app.localizedName = DesktopEntries::name(*file);
  return app;
}

std::optional<std::vector<std::string>> LinuxWorkspace::idsFromUserManager() {
  auto bus = buses_.session();
  if (!bus) return std::nullopt;
  const QString systemd = QStringLiteral("org.freedesktop.systemd1");
  auto reply = DBusCall::call(
      *bus, DBusCall::method(systemd, QStringLiteral("/org/freedesktop/systemd1"),
                             systemd + QStringLiteral(".Manager"), QStringLiteral("ListUnits")));
  if (!reply || reply->isEmpty() || !reply->first().canConvert<QDBusArgument>()) return std::nullopt;
  std::vector<std::string> ids;
  const QDBusArgument units = reply->first().value<QDBusArgument>();
  units.beginArray();
  while (!units.atEnd()) {
    QString name, description, loadState, activeState, subState, following, jobType;
    QDBusObjectPath unitPath, jobPath;
    uint jobId = 0;
    units.beginStructure();
    units >> name >> description >> loadState >> activeState >> subState >> following >> unitPath >> jobId >>
        jobType >> jobPath;
    units.endStructure();
    if (!isActiveState(activeState)) continue;
    if (auto id = AppUnits::appIdFromUnit(name.toStdString())) ids.push_back(*id);
  }
  units.endArray();
  return ids;
}

std::vector<std::string> LinuxWorkspace::idsFromProcesses() {
  std::vector<std::string> ids;
  for (const auto& entry : Sysfs::entries(sources_.procRoot)) {
    const std::string name = entry.filename().string();
    if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos)
      continue;
    auto id = appIdOfProcess(std::stoi(name));
    // An application's many processes count once.
    if (id && std::find(ids.begin(), ids.end(), *id) == ids.end()) ids.push_back(*id);
  }
  return ids;
}

std::optional<std::string> LinuxWorkspace::appIdOfProcess(int pid) {
  fs::path process = fs::path(sources_.procRoot) / std::to_string(pid);
  // Other users' applications are not this session's. A process that exits while it is being looked
  // at leaves files that can no longer be read: it is simply not running.
  struct stat status {};
  if (::stat(process.c_str(), &status) != 0 || status.st_uid != ::getuid()) return std::nullopt;
  auto cgroup = Sysfs::readFile(process / "cgroup");
  if (!cgroup) return std::nullopt;
  if (auto id = AppUnits::appIdFromCgroup(*cgroup)) return id;
  // Launchers that use GLib name the .desktop file of the process they started.
  auto environment = Sysfs::readFile(process / "environ");
  if (!environment) return std::nullopt;
  const std::string& environ = *environment;
  auto launchedPid = Sysfs::environmentValue(environ, "GIO_LAUNCHED_DESKTOP_FILE_PID");
  auto launchedFile = Sysfs::environmentValue(environ, "GIO_LAUNCHED_DESKTOP_FILE");
  if (!launchedPid || !launchedFile || *launchedPid != std::to_string(pid)) return std::nullopt;
  std::string base = fs::path(*launchedFile).filename().string();
  const std::string suffix = ".desktop";
  if (base.size() <= suffix.size() || base.compare(base.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return std::nullopt;
  }
  return base.substr(0, base.size() - suffix.size());
}
