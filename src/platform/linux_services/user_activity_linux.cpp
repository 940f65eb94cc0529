#include "platform/linux_services/user_activity_linux.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariant>
#include <cstdlib>
#include <filesystem>

// Xlib's macros (Bool, Status) break Qt's headers: Xlib comes last.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace {

// A desktop service that does not answer quickly must not stall the attention signal's steps.
constexpr int kCallTimeoutMs = 250;
constexpr const char* kScreenSaverService = "org.freedesktop.ScreenSaver";
constexpr const char* kScreenSaverPath = "/org/freedesktop/ScreenSaver";
constexpr const char* kScreenSaverInterface = "org.freedesktop.ScreenSaver";

std::optional<QDBusMessage> call(QDBusConnection& bus, const QString& service, const QString& path,
                                 const QString& interface, const QString& method,
                                 const QList<QVariant>& arguments = {}) {
  QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
  message.setArguments(arguments);
  QDBusMessage reply = bus.call(message, QDBus::Block, kCallTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage) return std::nullopt;
  return reply;
}

std::optional<QDBusMessage> callScreenSaver(QDBusConnection& bus, const QString& method,
                                            const QList<QVariant>& arguments = {}) {
  return call(bus, kScreenSaverService, kScreenSaverPath, kScreenSaverInterface, method, arguments);
}

// The first reply argument as an unsigned number, when it is one.
std::optional<qulonglong> firstNumber(const std::optional<QDBusMessage>& reply) {
  if (!reply || reply->arguments().isEmpty()) return std::nullopt;
  bool ok = false;
  qulonglong value = reply->arguments().first().toULongLong(&ok);
  if (!ok) return std::nullopt;
  return value;
}

// Without an address or the standard per-user socket, libdbus would autolaunch a stray daemon.
bool sessionBusConfigured() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  return runtime && *runtime && std::filesystem::exists(std::filesystem::path(runtime) / "bus", error);
}

}  // namespace

LinuxUserActivity::LinuxUserActivity(std::optional<std::string> x11Display,
                                     std::optional<std::string> busAddress)
    : x11Display_(std::move(x11Display)), busAddress_(std::move(busAddress)) {}

LinuxUserActivity::~LinuxUserActivity() {
  if (bus_ && busAddress_) QDBusConnection::disconnectFromBus(bus_->name());
}

QDBusConnection* LinuxUserActivity::bus() {
  if (busTried_) return bus_.get();
  busTried_ = true;
  if (!busAddress_) {
    if (sessionBusConfigured()) bus_ = std::make_unique<QDBusConnection>(QDBusConnection::sessionBus());
  } else if (!busAddress_->empty()) {
    static int instances = 0;
    QString name = QStringLiteral("halomark-user-activity-%1").arg(++instances);
    bus_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromStdString(*busAddress_), name));
  }
  if (bus_ && !bus_->isConnected()) bus_.reset();
  return bus_.get();
}

std::optional<double> LinuxUserActivity::secondsSinceLastInput() {
  if (auto idle = x11IdleSeconds()) return idle;
  return busIdleSeconds();
}

std::optional<double> LinuxUserActivity::x11IdleSeconds() {
  std::string display = x11Display_.value_or("");
  if (!x11Display_) {
    const char* fromEnvironment = std::getenv("DISPLAY");
    display = fromEnvironment ? fromEnvironment : "";
  }
  if (display.empty()) return std::nullopt;
  // A connection per query: a display that went away since the last one costs nothing here.
  Display* connection = XOpenDisplay(display.c_str());
  if (!connection) return std::nullopt;
  std::optional<double> idle;
  int eventBase = 0, errorBase = 0;
  if (XScreenSaverQueryExtension(connection, &eventBase, &errorBase)) {
    if (XScreenSaverInfo* info = XScreenSaverAllocInfo()) {
      if (XScreenSaverQueryInfo(connection, DefaultRootWindow(connection), info)) idle = info->idle / 1000.0;
      XFree(info);
    }
  }
  XCloseDisplay(connection);
  return idle;
}

std::optional<double> LinuxUserActivity::busIdleSeconds() {
  QDBusConnection* connection = bus();
  if (!connection) return std::nullopt;
  auto mutter =
      firstNumber(call(*connection, "org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
                       "org.gnome.Mutter.IdleMonitor", "GetIdletime"));
  if (mutter) return static_cast<double>(*mutter) / 1000.0;  // milliseconds
  auto screenSaver = firstNumber(callScreenSaver(*connection, "GetSessionIdleTime"));
  // Seconds, as the interface documents it; a service answering in milliseconds only makes the
  // user look absent longer, which never ends a signal early.
  if (screenSaver) return static_cast<double>(*screenSaver);
  return std::nullopt;
}

bool LinuxUserActivity::declareUserActivity(const std::string&) {
  QDBusConnection* connection = bus();
  return connection && callScreenSaver(*connection, "SimulateUserActivity").has_value();
}

std::uint32_t LinuxUserActivity::createDisplayAssertion(const std::string& name) {
  QDBusConnection* connection = bus();
  if (!connection) return 0;
  auto cookie = firstNumber(
      callScreenSaver(*connection, "Inhibit", {QStringLiteral("Halomark"), QString::fromStdString(name)}));
  if (!cookie) return 0;
  std::uint32_t assertion = nextAssertion_++;
  if (nextAssertion_ == 0) nextAssertion_ = 1;
  cookies_[assertion] = static_cast<std::uint32_t>(*cookie);
  return assertion;
}

void LinuxUserActivity::releaseAssertion(std::uint32_t assertion) {
  auto found = cookies_.find(assertion);
  QDBusConnection* connection = bus();
  if (found == cookies_.end() || !connection) return;
  callScreenSaver(*connection, "UnInhibit", {QVariant::fromValue<uint>(found->second)});
  cookies_.erase(found);
}
