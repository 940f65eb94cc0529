#include "platform/linux/login_items_linux.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include "platform/linux/user_directories.h"
#include "prefs/app_identifier.h"

namespace {

// An Exec argument: quoted, with the characters the quoting reserves escaped, then escaped again as a
// string value, and with field codes' percent signs doubled.
QString execArgument(const QString& path) {
  QString quoted;
  for (QChar c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted = '"' + quoted + '"';
  return quoted.replace("\\", "\\\\").replace("%", "%%");
}

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

std::optional<std::string> LinuxLoginItems::enable(const std::string& executablePath) {
  const QString path = QString::fromStdString(entryPath());
  if (!QDir().mkpath(QString::fromStdString(directory_)))
    return "Couldn't create the folder " + directory_ + ".";
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return "Couldn't write " + entryPath() + ": " + file.errorString().toStdString();
  QString entry = "[Desktop Entry]\nType=Application\nName=Halomark\nExec=" +
                  execArgument(QString::fromStdString(executablePath)) + "\nTerminal=false\nNoDisplay=true\n";
  file.write(entry.toUtf8());
  if (!file.commit()) return "Couldn't write " + entryPath() + ": " + file.errorString().toStdString();
  return std::nullopt;
}

std::optional<std::string> LinuxLoginItems::disable() {
  QFile file(QString::fromStdString(entryPath()));
  QFileInfo entry(file);
  if ((!entry.exists() && !entry.isSymLink()) || file.remove()) return std::nullopt;
  return "Couldn't remove " + entryPath() + ": " + file.errorString().toStdString();
}
