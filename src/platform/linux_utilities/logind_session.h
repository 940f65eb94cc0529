// Finds this process's systemd-logind session object on the system bus.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <optional>

namespace Logind {

inline const QString kService = QStringLiteral("org.freedesktop.login1");
inline const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
inline const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
inline const QString kSession = QStringLiteral("org.freedesktop.login1.Session");

// $XDG_SESSION_ID, else the session of this process, else the user's display session.
std::optional<QString> sessionPath(QDBusConnection& bus);
// The session this process belongs to: $XDG_SESSION_ID, else the session of this process; none
// for a process started outside any login session.
std::optional<QString> ownSessionPath(QDBusConnection& bus);

}  // namespace Logind
