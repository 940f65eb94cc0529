#include "shell/linux_platform.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/linux_utilities/uevent_monitor.h"
#include "prefs/prefs.h"

namespace {

namespace fs = std::filesystem;

// A shell that finds a command on the PATH passes only its name as the first argument. The path the
// executable was started by is then the first match on the PATH, and that path (a link, typically)
// is what locating the application bundle resolves.
std::string startedBy(const std::string& first) {
  if (first.empty() || first.find('/') != std::string::npos) return first;
  const char* path = std::getenv("PATH");
  if (!path) return first;
  std::string_view rest = path;
  while (true) {
    auto colon = rest.find(':');
    std::string directory(rest.substr(0, colon));
    fs::path candidate = fs::path(directory.empty() ? "." : directory) / first;
    std::error_code error;
    if (fs::is_regular_file(candidate, error) && ::access(candidate.c_str(), X_OK) == 0) {
      return candidate.string();
    }
    if (colon == std::string_view::npos) return first;
    rest.remove_prefix(colon + 1);
  }
}

std::vector<std::string> processArguments(int argc, char** argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  if (!arguments.empty()) arguments.front() = startedBy(arguments.front());
  return arguments;
}

std::vector<char*> pointersTo(std::vector<std::string>& arguments) {
  std::vector<char*> pointers;
  for (auto& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  return pointers;
}

// The real logo light under /sys, its state file beside the emulated device's, the user's choice
// of light and panel peak from the preferences.
LedLogoDevice::Config lightConfig(EmulatedLogoDevice& emulated, Scheduler& scheduler,
                                  PreferenceDomains& preferences) {
  return {"/sys",
          fs::path(emulated.statePath()).parent_path().string(),
          DBusBuses(),
          UeventMonitor::openKernelSocket,
          scheduler,
          [&preferences] { return Prefs(preferences).logoLight(); },
          [&preferences] { return Prefs(preferences).panelPeakNits(); }};
}

}  // namespace

LinuxPlatform::LinuxPlatform(int argc, char** argv)
    : arguments_(processArguments(argc, argv)),
      argv_(pointersTo(arguments_)),
      process_(static_cast<int>(arguments_.size()), argv_.data()),
      guard_(LinuxInstanceGuard::defaultPath()),
      preferences_(LinuxPreferenceDomains::defaultDirectory()),
      bundles_(process_, {}, {}, &guard_),
      device_(EmulatedLogoDevice::defaultStatePath()),
      instances_(guard_),
      light_(lightConfig(device_, scheduler_, preferences_)),
      logoDevice_(device_, light_),
      preferenceWatch_(LinuxPreferenceDomains::defaultDirectory()),
      platform_{preferences_, notifications_,    logoDevice_, logoDevice_,      logoDevice_, displays_,
                bundles_,     process_,          locale_,     clock_,           scheduler_,  powerSources_,
                session_,     userActivity_,     workspace_,  events_,          instances_,  children_,
                files_,       loginItems_,       trash_,      privilegedShell_, desktop_,    preferenceWatch_,
                hotKeys_,     applicationState_, mainLoop_} {}
