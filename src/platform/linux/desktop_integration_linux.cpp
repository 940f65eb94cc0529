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
std::string desktopExecValue(const std::string& executablePath) {
  std::string value;
  for (char c : quoted(executablePath)) {
    if (c == '\\') value += '\\';
    if (c == '%') value += '%';
    value += c;
  }
  return value + " %u";
}

std::string desktopEntry(const std::string& executablePath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Halomark\n"
         "Comment=Control the illuminated logo\n"
         "Exec=" +
         desktopExecValue(executablePath) +
         "\n"
         "Terminal=false\n"
         "Icon=" +
         std::string(kAppIdentifier) +
         "\n"
         "Categories=Utility;\n"
         "MimeType=x-scheme-handler/halomark;\n"
         "DBusActivatable=true\n"
         "StartupNotify=false\n";
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

std::vector<std::string> iconPaths() {
  std::vector<std::string> paths;
  for (int pixels : ApplicationIconFiles::kPixelSizes)
    paths.push_back(ApplicationIconFiles::bitmapPath(pixels));
  paths.push_back(ApplicationIconFiles::scalablePath());
  return paths;
}

}  // namespace

LinuxDesktopIntegration::LinuxDesktopIntegration() : LinuxDesktopIntegration(UserDirectories::dataHome()) {}

LinuxDesktopIntegration::LinuxDesktopIntegration(std::string dataHome) : dataHome_(std::move(dataHome)) {}

std::string LinuxDesktopIntegration::desktopEntryPath() const {
  return dataHome_ + "/applications/" + kAppIdentifier + ".desktop";
}

std::string LinuxDesktopIntegration::serviceFilePath() const {
  return dataHome_ + "/dbus-1/services/" + kAppIdentifier + ".service";
}

void LinuxDesktopIntegration::install(const std::string& executablePath) {
  writeIfDifferent(desktopEntryPath(), desktopEntry(executablePath));
  writeIfDifferent(serviceFilePath(), serviceFile(executablePath));
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
  std::vector<std::string> paths{desktopEntryPath(), serviceFilePath()};
  for (const auto& icon : iconPaths()) paths.push_back(iconsDirectory() + "/" + icon);
  for (const auto& path : paths) {
    std::error_code error;
    fs::remove(path, error);
    if (error) failures.push_back("couldn't remove " + path + ": " + error.message());
  }
  return failures;
}
