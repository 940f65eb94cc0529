#include "platform/linux_services/bundles_linux.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/linux_utilities/package_owner.h"
#include "platform/linux_utilities/plist_xml.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string startError(const std::string& path, int error) {
  return "couldn't open " + path + ": " + std::strerror(error);
}

constexpr auto kAnnouncePoll = std::chrono::milliseconds(50);

}  // namespace

LinuxBundles::LinuxBundles(ProcessInfo& process, std::string executablePath, DBusBuses buses,
                           InstanceGuard* startedGuard)
    : process_(process),
      executablePath_(std::move(executablePath)),
      buses_(std::move(buses)),
      startedGuard_(startedGuard) {}

std::string LinuxBundles::executablePath() {
  if (!executablePath_.empty()) return executablePath_;
  std::error_code error;
  auto self = fs::read_symlink("/proc/self/exe", error);
  if (!error) return self.string();
  auto arguments = process_.arguments();
  if (arguments.empty()) return {};
  auto canonical = fs::weakly_canonical(arguments.front(), error);
  return error ? std::string() : canonical.string();
}

const std::optional<LinuxBundles::MainBundle>& LinuxBundles::mainBundle() {
  if (resolved_) return main_;
  resolved_ = true;
  fs::path executable = executablePath();
  // <Name>.app/Contents/MacOS/<executable>
  fs::path bundle = executable.parent_path().parent_path().parent_path();
  if (executable.empty() || !endsWith(bundle.filename().string(), ".app")) return main_;
  if (auto info = bundleInfo(bundle.string())) main_ = MainBundle{bundle.string(), std::move(*info)};
  return main_;
}

std::optional<std::string> LinuxBundles::mainBundleIdentifier() {
  const auto& bundle = mainBundle();
  if (!bundle) return std::nullopt;
  auto found = bundle->info.find("CFBundleIdentifier");
  if (found == bundle->info.end() || !found->second.is_string()) return std::nullopt;
  return found->second.get<std::string>();
}

std::optional<std::string> LinuxBundles::mainBundlePath() {
  const auto& bundle = mainBundle();
  if (!bundle) return std::nullopt;
  return bundle->path;
}

std::optional<PlistDictionary> LinuxBundles::mainBundleInfo() {
  const auto& bundle = mainBundle();
  if (!bundle) return std::nullopt;
  return bundle->info;
}

std::optional<PlistDictionary> LinuxBundles::bundleInfo(const std::string& path) {
  std::ifstream file(fs::path(path) / "Contents" / "Info.plist", std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  auto value = PlistXml::parse(text.str());
  if (!value || !value->is_object()) return std::nullopt;
  return value->get<PlistDictionary>();
}

Failure LinuxBundles::openApplication(const std::string& path, double timeoutSeconds) {
  std::string name = "Halomark";
  auto info = bundleInfo(path).value_or(PlistDictionary{});
  auto found = info.find("CFBundleExecutable");
  if (found != info.end() && found->second.is_string()) name = found->second.get<std::string>();
  std::string executable = (fs::path(path) / "Contents" / "MacOS" / name).string();
  if (::access(executable.c_str(), X_OK) != 0) return startError(path, errno);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawn_file_actions_addchdir_np(&actions, "/");
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults, unblocked;
  sigemptyset(&defaults);
  for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGTERM, SIGCHLD}) sigaddset(&defaults, signal);
  sigemptyset(&unblocked);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &unblocked);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  pid_t pid = 0;
  char* argv[] = {executable.data(), nullptr};
  int status = posix_spawn(&pid, executable.c_str(), &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (status != 0) return startError(path, status);
  waitUntilAnnounced(pid, info, timeoutSeconds);
  return std::nullopt;
}

// A started process is not yet an application that can be talked to: what is sent to it before it
// listens is lost. A process that has ended already (a second copy, say) will never listen.
void LinuxBundles::waitUntilAnnounced(pid_t started, const PlistDictionary& info, double timeoutSeconds) {
  auto identifier = info.find("CFBundleIdentifier");
  auto bus = buses_.session();
  std::optional<QString> name;
  if (bus && identifier != info.end() && identifier->second.is_string())
    name = QString::fromStdString(identifier->second.get<std::string>());
  if (!name && !startedGuard_) return;
  auto announced = [&] {
    if (startedGuard_) {
      auto holder = startedGuard_->holder();
      if (holder && holder->pid) return true;
    }
    return name && DBusCall::hasOwner(*bus, *name);
  };
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  int waitStatus = 0;
  while (!announced() && ::waitpid(started, &waitStatus, WNOHANG) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kAnnouncePoll);
  }
}

std::optional<std::string> LinuxBundles::installingPackage(const std::string& path) {
  std::error_code error;
  auto bundle = fs::canonical(path, error);
  if (error) return std::nullopt;
  return PackageOwner::of(bundle.string());
}
