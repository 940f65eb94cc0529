#include "platform/linux_services/session_linux.h"

#include "platform/linux_utilities/logind_session.h"

namespace {

const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");

}  // namespace

LinuxSession::LinuxSession(DBusBuses buses) : buses_(std::move(buses)) {}

LinuxSession::~LinuxSession() = default;

std::optional<PlistValue> LinuxSession::sessionDictionary() {
  auto logind = logindLocked();
  auto saver = screenSaverActive();
  if (!logind && !saver) return std::nullopt;
  return PlistValue{{"CGSSessionScreenIsLocked", logind.value_or(false) || saver.value_or(false)}};
}

std::optional<bool> LinuxSession::logindLocked() {
  auto bus = buses_.system();
  if (!bus) return std::nullopt;
  if (!logind_) {
    logind_ = std::make_unique<FollowedBusValue>([this, bus]() mutable { return askLogind(*bus); });
    // The session of a process never changes; its path is known once logind has answered.
    if (auto path = Logind::sessionPath(*bus)) {
      sessionPath_ = path;
      logind_->follow(*bus, Logind::kService, *path, QStringLiteral("org.freedesktop.DBus.Properties"),
                      QStringLiteral("PropertiesChanged"));
      logind_->followOwner(*bus, Logind::kService);
    }
  }
  auto locked = logind_->value();
  if (!locked) return std::nullopt;
  return locked->toBool();
}

std::optional<QVariant> LinuxSession::askLogind(QDBusConnection& bus) {
  if (!sessionPath_) sessionPath_ = Logind::sessionPath(bus);
  if (!sessionPath_) return std::nullopt;
  return DBusCall::property(bus, Logind::kService, *sessionPath_, Logind::kSession,
                            QStringLiteral("LockedHint"));
}

std::optional<bool> LinuxSession::screenSaverActive() {
  auto bus = buses_.session();
  if (!bus) return std::nullopt;
  if (!screenSaver_) {
    screenSaver_ = std::make_unique<FollowedBusValue>([this, bus]() mutable { return askScreenSaver(*bus); });
    screenSaver_->follow(*bus, kScreenSaver, kScreenSaverPath, kScreenSaver, QStringLiteral("ActiveChanged"));
    screenSaver_->followOwner(*bus, kScreenSaver);
  }
  auto active = screenSaver_->value();
  if (!active) return std::nullopt;
  return active->toBool();
}

std::optional<QVariant> LinuxSession::askScreenSaver(QDBusConnection& bus) {
  // Most desktops offer no screen saver service. Asking first spares an error reply, which Qt's bus
  // thread may still be handling when a short-lived tool returns from main, and then warns about.
  if (!DBusCall::hasOwner(bus, kScreenSaver)) return std::nullopt;
  auto reply = DBusCall::call(
      bus, DBusCall::method(kScreenSaver, kScreenSaverPath, kScreenSaver, QStringLiteral("GetActive")));
  if (!reply || reply->isEmpty()) return std::nullopt;
  return reply->first();
}
