#include "platform/linux/desktop_notifications_linux.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include "prefs/app_identifier.h"

namespace {

// A missing or hung notification server must not hold up the answer for long.
constexpr int kTimeoutMilliseconds = 2000;
constexpr int kServerDefaultExpiry = -1;

// Servers may read the body as simple markup; an application's name in a reason stays plain text.
QString plainBody(const std::string& body) { return QString::fromStdString(body).toHtmlEscaped(); }

}  // namespace

LinuxDesktopNotifications::LinuxDesktopNotifications(std::optional<QDBusConnection> bus)
    : bus_(std::move(bus)) {}

void LinuxDesktopNotifications::show(const std::string& summary, const std::string& body) {
  if (!bus_) return;
  auto message =
      QDBusMessage::createMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                     "org.freedesktop.Notifications", "Notify");
  QVariantMap hints{{"desktop-entry", QString(kAppIdentifier)}};
  message << QString("Halomark") << *shownId_ << QString() << QString::fromStdString(summary)
          << plainBody(body) << QStringList() << hints << kServerDefaultExpiry;
  auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(message, kTimeoutMilliseconds));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [watcher, shown = shownId_] {
    QDBusPendingReply<unsigned> reply = *watcher;
    if (reply.isValid()) *shown = reply.value();
    watcher->deleteLater();
  });
}
