#include "platform/linux_services/session_end_watch_linux.h"

#include <QDBusObjectPath>

#include "platform/linux_utilities/dbus_signal_relay.h"
#include "platform/linux_utilities/logind_session.h"

namespace {

// Sent by the connection itself, never by a peer, when the bus closes it.
const QString kLocalPath = QStringLiteral("/org/freedesktop/DBus/Local");
const QString kLocal = QStringLiteral("org.freedesktop.DBus.Local");

}  // namespace

SessionEndWatch::SessionEndWatch(DBusBuses buses, std::function<void()> onEnd)
    : buses_(std::move(buses)), onEnd_(std::move(onEnd)) {}

SessionEndWatch::~SessionEndWatch() = default;

void SessionEndWatch::ended() {
  if (ended_) return;
  ended_ = true;
  onEnd_();
}

SessionEndWatch::Watching SessionEndWatch::start() {
  Watching watching;
  if (auto bus = buses_.session()) {
    auto relay = std::make_unique<DBusSignalRelay>([this](const QDBusMessage&) { ended(); });
    if (relay->connectTo(*bus, QString(), kLocalPath, kLocal, QStringLiteral("Disconnected"))) {
      relays_.push_back(std::move(relay));
      watching.sessionBus = true;
    }
  }
  auto system = buses_.system();
  auto own = system ? Logind::ownSessionPath(*system) : std::nullopt;
  if (own) {
    auto relay = std::make_unique<DBusSignalRelay>([this, own = *own](const QDBusMessage& message) {
      const auto arguments = message.arguments();
      if (arguments.size() >= 2 && arguments.at(1).value<QDBusObjectPath>().path() == own) ended();
    });
    if (relay->connectTo(*system, Logind::kService, Logind::kManagerPath, Logind::kManager,
                         QStringLiteral("SessionRemoved"))) {
      relays_.push_back(std::move(relay));
      watching.loginSession = true;
    }
  }
  return watching;
}
