#include "platform/linux_services/desktop_integration_linux.h"

#include <filesystem>
#include <iostream>
#include <optional>

#include "formats/app_identifier.h"
#include "platform/linux_utilities/application_icon_files.h"
#include "platform/linux_utilities/atomic_file.h"
#include "platform/linux_utilities/desktop_entry_text.h"
#include "platform/linux_utilities/sysfs_read.h"
#include "platform/linux_utilities/user_directories.h"

namespace fs = std::filesystem;

namespace {

// Launchers offer these on the application's entry. They reach the running application through
// ActivateAction; launchers that ignore bus activation run the tool's command of the same meaning.
struct DesktopAction {
  const char* id;
  const char* name;
  const char* command;
};
constexpr DesktopAction kDesktopActions[] = {
    {"turn-off", "Logo Off", "off"}, {"turn-on", "Logo On", "on"}, {"toggle", "Toggle Logo", "toggle"}};

DesktopEntryText desktopEntry(const std::string& executablePath) {
  std::string actions;
  for (const auto& action : kDesktopActions) actions += std::string(action.id) + ";";
  DesktopEntryText entry("Desktop Entry");
  entry.add("Type", "Application")
      .add("Name", "Halomark")
      .add("Comment", "Control the illuminated logo")
      .addExec("Exec", {executablePath}, "%u")
      .add("Icon", kAppIdentifier)
      .add("Terminal", "false")
      .add("Categories", "Utility;")
      .add("MimeType", "x-scheme-handler/halomark;")
      .add("DBusActivatable", "true")
      .add("StartupNotify", "false")
      .add("Actions", actions);
  // The tool's command word follows the quoted executable as it stands: it needs no quoting.
  for (const auto& action : kDesktopActions) {
    entry.group(std::string("Desktop Action ") + action.id)
        .add("Name", action.name)
        .addExec("Exec", {executablePath}, action.command);
  }
  return entry;
}

DesktopEntryText serviceFile(const std::string& executablePath) {
  DesktopEntryText service("D-BUS Service", DesktopEntryText::Format::dbusService);
  service.add("Name", kAppIdentifier).addExec("Exec", {executablePath});
  return service;
}

// The runner plugin that lets KRunner offer the actions for their phrases.
DesktopEntryText runnerPlugin() {
  DesktopEntryText plugin("Desktop Entry");
  plugin.add("Type", "Service")
      .add("Name", "Halomark")
      .add("Comment", "Turn the illuminated logo off, on or back to automatic")
      .add("X-KDE-PluginInfo-Name", kAppIdentifier)
      .add("X-KDE-PluginInfo-EnabledByDefault", "true")
      .add("X-Plasma-API", "DBus")
      .add("X-Plasma-DBusRunner-Service", kAppIdentifier)
      .add("X-Plasma-DBusRunner-Path", "/runner")
      .add("X-Plasma-Runner-Min-Letter-Count", "3");
  return plugin;
}

// The registration files and icons are small; a read that fails counts as no file.
std::optional<std::string> contentsOf(const std::string& path) { return Sysfs::readFile(path); }

std::optional<std::string> writeIfDifferent(const std::string& path, const std::string& contents) {
  if (contentsOf(path) == contents) return std::nullopt;
  if (auto error = AtomicFile::makeDirectories(AtomicFile::directoryOf(path), 0755)) return error;
  return AtomicFile::replace(path, contents, 0644);
}

// A file whose contents cannot be written safely is not written at all: a broken entry could run
// something other than the application.
std::optional<std::string> writeIfDifferent(const std::string& path, const DesktopEntryText& file) {
  auto contents = file.text();
  if (!contents) return "couldn't write " + path + ": " + file.refusal();
  return writeIfDifferent(path, *contents);
}

// Whether the desktop, looking past the user's data directory, finds exactly `contents` at
// `relativePath`: the first system directory that has the file decides.
bool systemOffers(const std::vector<std::string>& directories, const std::string& relativePath,
                  const std::string& contents) {
  for (const auto& directory : directories) {
    if (auto found = contentsOf(directory + "/" + relativePath)) return found == contents;
  }
  return false;
}

std::string desktopEntryName() { return std::string("applications/") + kAppIdentifier + ".desktop"; }

std::string serviceFileName() { return std::string("dbus-1/services/") + kAppIdentifier + ".service"; }

std::vector<std::string> iconPaths() {
  std::vector<std::string> paths;
  for (int pixels : ApplicationIconFiles::kPixelSizes)
    paths.push_back(ApplicationIconFiles::bitmapPath(pixels));
  paths.push_back(ApplicationIconFiles::scalablePath());
  for (const auto& name : ApplicationIconFiles::statusIconNames())
    paths.push_back(ApplicationIconFiles::statusIconPath(name));
  return paths;
}

}  // namespace

LinuxDesktopIntegration::LinuxDesktopIntegration()
    : LinuxDesktopIntegration(UserDirectories::dataHome(), UserDirectories::dataDirectories()) {}

LinuxDesktopIntegration::LinuxDesktopIntegration(std::string dataHome,
                                                 std::vector<std::string> systemDataDirectories)
    : dataHome_(std::move(dataHome)), systemDataDirectories_(std::move(systemDataDirectories)) {}

std::string LinuxDesktopIntegration::desktopEntryPath() const { return dataHome_ + "/" + desktopEntryName(); }

std::string LinuxDesktopIntegration::serviceFilePath() const { return dataHome_ + "/" + serviceFileName(); }

std::string LinuxDesktopIntegration::runnerPluginPath() const {
  return dataHome_ + "/krunner/dbusplugins/" + kAppIdentifier + ".desktop";
}

void LinuxDesktopIntegration::install(const std::string& executablePath) {
  for (const auto& failure : write(executablePath)) std::cerr << "halomark: " << failure << "\n";
}

std::vector<std::string> LinuxDesktopIntegration::write(const std::string& executablePath) {
  std::vector<std::string> failures;
  auto note = [&failures](std::optional<std::string> failure) {
    if (failure) failures.push_back(*failure);
  };
  const std::pair<std::string, DesktopEntryText> files[] = {
      {desktopEntryName(), desktopEntry(executablePath)},
      {serviceFileName(), serviceFile(executablePath)},
  };
  for (const auto& [name, file] : files) {
    const std::string path = dataHome_ + "/" + name;
    auto contents = file.text();
    if (contents && systemOffers(systemDataDirectories_, name, *contents)) {
      std::error_code ignored;
      fs::remove(path, ignored);
    } else {
      note(writeIfDifferent(path, file));
    }
  }
  note(writeIfDifferent(runnerPluginPath(), runnerPlugin()));
  // The bundle's icons, where the desktop's icon theme finds them; a bundle without them (a build
  // that skipped drawing them) leaves the entry with the theme's fallback icon.
  std::string bundleIcons = ApplicationIconFiles::bundleIconsDirectory(executablePath);
  for (const auto& icon : iconPaths()) {
    if (auto contents = contentsOf(bundleIcons + "/" + icon))
      note(writeIfDifferent(iconsDirectory() + "/" + icon, *contents));
  }
  return failures;
}

std::string LinuxDesktopIntegration::iconsDirectory() const { return dataHome_ + "/icons"; }

std::vector<std::string> LinuxDesktopIntegration::remove() {
  std::vector<std::string> failures;
  std::vector<std::string> paths{desktopEntryPath(), serviceFilePath(), runnerPluginPath()};
  for (const auto& icon : iconPaths()) paths.push_back(iconsDirectory() + "/" + icon);
  for (const auto& path : paths) {
    std::error_code error;
    fs::remove(path, error);
    if (error) failures.push_back("couldn't remove " + path + ": " + error.message());
  }
  return failures;
}
