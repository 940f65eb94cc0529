#include "platform/linux/session_bus.h"

#include <sys/stat.h>

#include <QByteArray>
#include <cctype>

namespace {

// D-Bus address values escape every byte outside a small safe set as %XX.
QByteArray escapeAddressValue(const QByteArray& raw) {
  static const QByteArray safe = "-_/.\\*";
  QByteArray escaped;
  for (char c : raw) {
    auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || safe.contains(c)) {
      escaped += c;
    } else {
      escaped += '%';
      escaped += QByteArray::number(byte, 16).rightJustified(2, '0');
    }
  }
  return escaped;
}

bool isSocket(const QByteArray& path) {
  struct stat info {};
  return ::stat(path.constData(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// Points libdbus at the systemd user bus when the environment names no bus; false when there is
// nothing to connect to (connecting then would autolaunch).
bool locateBus() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
  QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
  if (runtimeDir.isEmpty()) return false;
  QByteArray socket = runtimeDir + "/bus";
  if (!isSocket(socket)) return false;
  qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + escapeAddressValue(socket));
  return true;
}

}  // namespace

namespace SessionBus {

std::optional<QDBusConnection> connection() {
  static const bool located = locateBus();
  if (!located) return std::nullopt;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return std::nullopt;
  return bus;
}

QString objectPath(const QString& identifier) {
  return "/" + QString(identifier).replace('.', '/');
}

}  // namespace SessionBus
