#include "platform/linux_utilities/logind_session.h"

#include <unistd.h>
#include <QDBusArgument>
#include <QDBusObjectPath>

#include "platform/linux_utilities/dbus_buses.h"

namespace Logind {

namespace {

std::optional<QString> objectPathReply(QDBusConnection& bus, const QString& member,
                                       const QVariant& argument) {
  auto reply = DBusCall::call(bus, DBusCall::method(kService, kManagerPath, kManager, member, {argument}));
  if (!reply || reply->isEmpty()) return std::nullopt;
  QString path = reply->first().value<QDBusObjectPath>().path();
  if (path.isEmpty() || path == QStringLiteral("/")) return std::nullopt;
  return path;
}

// The user's "Display" property, a (so) structure naming the graphical session.
std::optional<QString> displaySession(QDBusConnection& bus) {
  auto user =
      objectPathReply(bus, QStringLiteral("GetUser"), QVariant::fromValue(static_cast<uint>(getuid())));
  if (!user) return std::nullopt;
  auto display = DBusCall::property(bus, kService, *user, QStringLiteral("org.freedesktop.login1.User"),
                                    QStringLiteral("Display"));
  if (!display || !display->canConvert<QDBusArgument>()) return std::nullopt;
  QString id;
  QDBusObjectPath path;
  const QDBusArgument argument = display->value<QDBusArgument>();
  argument.beginStructure();
  argument >> id >> path;
  argument.endStructure();
  if (path.path().isEmpty() || path.path() == QStringLiteral("/")) return std::nullopt;
  return path.path();
}

}  // namespace

std::optional<QString> ownSessionPath(QDBusConnection& bus) {
  QString id = qEnvironmentVariable("XDG_SESSION_ID");
  if (!id.isEmpty()) {
    if (auto path = objectPathReply(bus, QStringLiteral("GetSession"), id)) return path;
  }
  return objectPathReply(bus, QStringLiteral("GetSessionByPID"),
                         QVariant::fromValue(static_cast<uint>(getpid())));
}

std::optional<QString> sessionPath(QDBusConnection& bus) {
  if (auto path = ownSessionPath(bus)) return path;
  return displaySession(bus);
}

}  // namespace Logind
