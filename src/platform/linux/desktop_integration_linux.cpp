#include "platform/linux/desktop_integration_linux.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

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
         "Icon=" +
         std::string(kAppIdentifier) +
         "\n"
         "Terminal=false\n"
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

}  // namespace

LinuxDesktopIntegration::LinuxDesktopIntegration()
    : LinuxDesktopIntegration(UserDirectories::dataHome(), UserDirectories::dataDirectories()) {}

LinuxDesktopIntegration::LinuxDesktopIntegration(std::string dataHome,
                                                 std::vector<std::string> systemDataDirectories)
    : dataHome_(std::move(dataHome)), systemDataDirectories_(std::move(systemDataDirectories)) {}

std::string LinuxDesktopIntegration::desktopEntryPath() const { return dataHome_ + "/" + desktopEntryName(); }

std::string LinuxDesktopIntegration::serviceFilePath() const { return dataHome_ + "/" + serviceFileName(); }

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
}

std::vector<std::string> LinuxDesktopIntegration::remove() {
  std::vector<std::string> failures;
  for (const auto& path : {desktopEntryPath(), serviceFilePath()}) {
    std::error_code error;
    fs::remove(path, error);
    if (error) failures.push_back("couldn't remove " + path + ": " + error.message());
  }
  return failures;
}
