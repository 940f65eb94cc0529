#include "platform/linux_services/login_items_linux.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include "formats/app_identifier.h"
#include "platform/linux_utilities/desktop_entry_text.h"
#include "platform/linux_utilities/user_directories.h"

namespace {

// Whether the entry's own group says Hidden=true, which the autostart specification reads as removed.
bool hiddenEntry(QFile& file) {
  QTextStream stream(&file);
  bool inEntryGroup = false;
  while (!stream.atEnd()) {
    QString line = stream.readLine().trimmed();
    if (line.startsWith('[')) {
      inEntryGroup = line == "[Desktop Entry]";
    } else if (inEntryGroup && line.section('=', 0, 0).trimmed() == "Hidden") {
      return line.section('=', 1).trimmed() == "true";
    }
  }
  return false;
}

}  // namespace

LinuxLoginItems::LinuxLoginItems(std::string autostartDirectory)
    : directory_(std::move(autostartDirectory)) {}

std::string LinuxLoginItems::defaultAutostartDirectory() {
  return UserDirectories::configHome() + "/autostart";
}

std::string LinuxLoginItems::entryPath() const { return directory_ + "/" + kAppIdentifier + ".desktop"; }

bool LinuxLoginItems::isEnabled() {
  QFile file(QString::fromStdString(entryPath()));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
  return !hiddenEntry(file);
}

Failure LinuxLoginItems::enable(const std::string& executablePath) {
  DesktopEntryText entry("Desktop Entry");
  entry.add("Type", "Application")
      .add("Name", "Halomark")
      .addExec("Exec", {executablePath})
      .add("Terminal", "false")
      .add("NoDisplay", "true");
  // An entry that cannot hold the path safely is not written: it could run something else at login.
  auto text = entry.text();
  if (!text) return "Couldn't write " + entryPath() + ": " + entry.refusal() + ".";
  if (!QDir().mkpath(QString::fromStdString(directory_)))
    return "Couldn't create the folder " + directory_ + ".";
  QSaveFile file(QString::fromStdString(entryPath()));
  if (!file.open(QIODevice::WriteOnly))
    return "Couldn't write " + entryPath() + ": " + file.errorString().toStdString();
  file.write(QByteArray::fromStdString(*text));
  if (!file.commit()) return "Couldn't write " + entryPath() + ": " + file.errorString().toStdString();
  return std::nullopt;
}

Failure LinuxLoginItems::disable() {
  QFile file(QString::fromStdString(entryPath()));
  QFileInfo entry(file);
  if ((!entry.exists() && !entry.isSymLink()) || file.remove()) return std::nullopt;
  return "Couldn't remove " + entryPath() + ": " + file.errorString().toStdString();
}
