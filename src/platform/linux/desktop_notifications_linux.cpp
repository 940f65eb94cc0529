#include "platform/linux/desktop_notifications_linux.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#include <utility>

#include "prefs/app_identifier.h"

namespace {

// A missing or hung notification server must not hold up the answer for long.
constexpr int kTimeoutMilliseconds = 2000;
constexpr int kServerDefaultExpiry = -1;

// Servers may read the body as simple markup; an application's name in a reason stays plain text.
QString plainBody(const std::string& body) { return QString::fromStdString(body).toHtmlEscaped(); }

}  // namespace

LinuxDesktopNotifications::LinuxDesktopNotifications(std::optional<QDBusConnection> bus) {
  state_->bus = std::move(bus);
}

void LinuxDesktopNotifications::show(const std::string& summary, const std::string& body) {
  if (!state_->bus) return;
  if (state_->awaitingId) {
    state_->waiting = Message{summary, body};
    return;
  }
  send(state_, {summary, body});
}

void LinuxDesktopNotifications::send(const std::shared_ptr<State>& state, const Message& message) {
  auto call =
      QDBusMessage::createMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                     "org.freedesktop.Notifications", "Notify");
  QVariantMap hints{{"desktop-entry", QString(kAppIdentifier)}};
  call << QString("Halomark") << state->shownId << QString() << QString::fromStdString(message.summary)
       << plainBody(message.body) << QStringList() << hints << kServerDefaultExpiry;
  state->awaitingId = true;
  auto* watcher = new QDBusPendingCallWatcher(state->bus->asyncCall(call, kTimeoutMilliseconds));
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [watcher, state] {
    QDBusPendingReply<unsigned> reply = *watcher;
    if (reply.isValid()) state->shownId = reply.value();
    state->awaitingId = false;
    watcher->deleteLater();
    if (auto next = std::exchange(state->waiting, std::nullopt)) send(state, *next);
  });
}
