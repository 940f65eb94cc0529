#include "platform/linux/desktop_integration_linux.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>

#include "platform/linux/atomic_file.h"
#include "platform/linux/desktop_entry_text.h"
#include "platform/linux/user_directories.h"
#include "prefs/app_identifier.h"

namespace fs = std::filesystem;

namespace {

DesktopEntryText desktopEntry(const std::string& executablePath) {
  DesktopEntryText entry("Desktop Entry");
  entry.add("Type", "Application")
      .add("Name", "Halomark")
      .add("Comment", "Control the illuminated logo")
      .addExec("Exec", {executablePath}, "%u")
      .add("Terminal", "false")
      .add("Categories", "Utility;")
      .add("MimeType", "x-scheme-handler/halomark;")
      .add("DBusActivatable", "true")
      .add("StartupNotify", "false");
  return entry;
}

DesktopEntryText serviceFile(const std::string& executablePath) {
  DesktopEntryText service("D-BUS Service", DesktopEntryText::Format::dbusService);
  service.add("Name", kAppIdentifier).addExec("Exec", {executablePath});
  return service;
}

std::optional<std::string> contentsOf(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  if (n < 0) return std::nullopt;
  return bytes;
}

// A file whose contents cannot be written safely is not written at all: a broken entry could run
// something other than the application.
std::optional<std::string> writeIfDifferent(const std::string& path, const DesktopEntryText& file) {
  auto contents = file.text();
  if (!contents) return "couldn't write " + path + ": " + file.refusal();
  if (contentsOf(path) == contents) return std::nullopt;
  if (auto error = AtomicFile::makeDirectories(AtomicFile::directoryOf(path), 0755)) return error;
  return AtomicFile::replace(path, *contents, 0644);
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
  for (const auto& failure : write(executablePath)) std::cerr << "halomark: " << failure << "\n";
}

std::vector<std::string> LinuxDesktopIntegration::write(const std::string& executablePath) {
  std::vector<std::string> failures;
  if (auto failure = writeIfDifferent(desktopEntryPath(), desktopEntry(executablePath)))
    failures.push_back(*failure);
  if (auto failure = writeIfDifferent(serviceFilePath(), serviceFile(executablePath)))
    failures.push_back(*failure);
  return failures;
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
