#include "platform/linux/session_linux.h"

#include "platform/linux/logind_session.h"

LinuxSession::LinuxSession(DBusBuses buses) : buses_(std::move(buses)) {}

std::optional<PlistValue> LinuxSession::sessionDictionary() {
  auto logind = logindLocked();
  auto saver = screenSaverActive();
  if (!logind && !saver) return std::nullopt;
  return PlistValue{{"CGSSessionScreenIsLocked", logind.value_or(false) || saver.value_or(false)}};
}

std::optional<bool> LinuxSession::logindLocked() {
  auto bus = buses_.system();
  if (!bus) return std::nullopt;
  // The session of a process never changes, so it is kept once it has answered.
  auto path = sessionPath_ ? sessionPath_ : Logind::sessionPath(*bus);
  if (!path) return std::nullopt;
  auto locked =
      DBusCall::property(*bus, Logind::kService, *path, Logind::kSession, QStringLiteral("LockedHint"));
  if (!locked) return std::nullopt;
  sessionPath_ = path;
  return locked->toBool();
}

std::optional<bool> LinuxSession::screenSaverActive() {
  auto bus = buses_.session();
  if (!bus) return std::nullopt;
  const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
  // Most desktops offer no screen saver service. Asking first spares an error reply, which Qt's bus
  // thread may still be handling when a short-lived tool returns from main, and then warns about.
  if (!DBusCall::hasOwner(*bus, service)) return std::nullopt;
  auto reply = DBusCall::call(*bus, DBusCall::method(service, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                     service, QStringLiteral("GetActive")));
  if (!reply || reply->isEmpty()) return std::nullopt;
  return reply->first().toBool();
}
