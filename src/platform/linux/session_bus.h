// Reaching the user's session bus without ever starting one: with no bus running but an X display
// set, libdbus would otherwise autolaunch a stray daemon that outlives the process.
#pragma once

#include <QDBusConnection>
#include <QString>
#include <optional>

namespace SessionBus {

// The connected session bus, or none when no session bus is running for this user.
std::optional<QDBusConnection> connection();

// The object path that carries the application's signals and its org.freedesktop.Application
// object: the identifier with its dots turned into slashes.
QString objectPath(const QString& identifier);

// Short timeout for calls on the bus, so a hung peer never stalls the tool or the application.
inline constexpr int kCallTimeoutMs = 1000;

}  // namespace SessionBus
