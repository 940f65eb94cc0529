#include "platform/linux/desktop_integration_linux.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/linux/application_icon_files.h"
#include "platform/linux/atomic_file.h"
#include "platform/linux/user_directories.h"
#include "prefs/app_identifier.h"

namespace fs = std::filesystem;

namespace {

// One argument quoted for an Exec line: `"`, `` ` ``, `$` and `\` are backslash-escaped inside the
// quotes.
std::string quoted(const std::string& argument) {
  std::string result = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') result += '\\';
    result += c;
  }
  return result + "\"";
}

// A desktop entry's Exec value is a string value first (backslashes doubled) and a field-code line
// second (a literal % doubled).
std::string desktopExecValue(const std::string& executablePath, const std::string& arguments = "%u") {
  std::string value;
  for (char c : quoted(executablePath)) {
    if (c == '\\') value += '\\';
    if (c == '%') value += '%';
    value += c;
  }
  return value + " " + arguments;
}

// Launchers offer these on the application's entry. They reach the running application through
// ActivateAction; launchers that ignore bus activation run the tool's command of the same meaning.
struct DesktopAction {
  const char* id;
  const char* name;
  const char* command;
};
constexpr DesktopAction kDesktopActions[] = {
    {"turn-off", "Logo Off", "off"}, {"turn-on", "Logo On", "on"}, {"toggle", "Toggle Logo", "toggle"}};

std::string desktopActions(const std::string& executablePath) {
  std::string list = "Actions=", groups;
  for (const auto& action : kDesktopActions) {
    list += std::string(action.id) + ";";
    groups += std::string("\n[Desktop Action ") + action.id + "]\nName=" + action.name +
              "\nExec=" + desktopExecValue(executablePath, action.command) + "\n";
  }
  return list + "\n" + groups;
}

// The runner plugin that lets KRunner offer the actions for their phrases.
std::string runnerPlugin() {
  return std::string(
             "[Desktop Entry]\n"
             "Type=Service\n"
             "Name=Halomark\n"
             "Comment=Turn the illuminated logo off, on or back to automatic\n"
             "X-KDE-PluginInfo-Name=") +
         kAppIdentifier +
         "\n"
         "X-KDE-PluginInfo-EnabledByDefault=true\n"
         "X-Plasma-API=DBus\n"
         "X-Plasma-DBusRunner-Service=" +
         kAppIdentifier +
         "\n"
         "X-Plasma-DBusRunner-Path=/runner\n"
         "X-Plasma-Runner-Min-Letter-Count=3\n";
}

std::string desktopEntry(const std::string& executablePath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Halomark\n"
         "Comment=Control the illuminated logo\n"
         "Exec=" +
         desktopExecValue(executablePath) +
         "\n"
         "Icon=" +
         std::string(kAppIdentifier) +
         "\n"
         "Terminal=false\n"
         "Categories=Utility;\n"
         "MimeType=x-scheme-handler/halomark;\n"
         "DBusActivatable=true\n"
         "StartupNotify=false\n" +
         desktopActions(executablePath);
}

std::string serviceFile(const std::string& executablePath) {
  return std::string("[D-BUS Service]\nName=") + kAppIdentifier + "\nExec=" + quoted(executablePath) + "\n";
}

std::optional<std::string> contentsOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void writeIfDifferent(const std::string& path, const std::string& contents) {
  if (contentsOf(path) == contents) return;
  if (AtomicFile::makeDirectories(AtomicFile::directoryOf(path), 0755)) return;
  AtomicFile::replace(path, contents, 0644);
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
  const std::pair<std::string, std::string> files[] = {
      {desktopEntryName(), desktopEntry(executablePath)},
      {serviceFileName(), serviceFile(executablePath)},
  };
  for (const auto& [name, contents] : files) {
    const std::string path = dataHome_ + "/" + name;
    if (systemOffers(systemDataDirectories_, name, contents)) {
      std::error_code ignored;
      fs::remove(path, ignored);
    } else {
      writeIfDifferent(path, contents);
    }
  }
  writeIfDifferent(runnerPluginPath(), runnerPlugin());
  // The bundle's icons, where the desktop's icon theme finds them; a bundle without them (a build
  // that skipped drawing them) leaves the entry with the theme's fallback icon.
  std::string bundleIcons = ApplicationIconFiles::bundleIconsDirectory(executablePath);
  for (const auto& icon : iconPaths()) {
    if (auto contents = contentsOf(bundleIcons + "/" + icon))
      writeIfDifferent(iconsDirectory() + "/" + icon, *contents);
  }
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
