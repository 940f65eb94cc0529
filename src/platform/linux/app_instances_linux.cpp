#include "platform/linux/app_instances_linux.h"

#include <signal.h>

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "platform/linux/session_bus.h"

namespace {

constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kBusInterface = "org.freedesktop.DBus";
constexpr unsigned kDoNotQueue = 4;
constexpr unsigned kPrimaryOwner = 1;
// Opening may start the application through bus activation first.
constexpr int kOpenTimeoutMs = 10000;

std::optional<QVariant> callBus(const char* method, const QVariantList& arguments) {
  auto bus = SessionBus::connection();
  if (!bus) return std::nullopt;
  auto message = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusInterface, method);
  message.setArguments(arguments);
  auto reply = bus->call(message, QDBus::Block, SessionBus::kCallTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
  return reply.arguments().first();
}

}  // namespace

bool LinuxAppInstances::isRunning(const std::string& identifier) {
  auto owned = callBus("NameHasOwner", {QString::fromStdString(identifier)});
  return owned && owned->toBool();
}

bool LinuxAppInstances::claim(const std::string& identifier) {
  auto result = callBus("RequestName", {QString::fromStdString(identifier), kDoNotQueue});
  return result && result->toUInt() == kPrimaryOwner;
}

void LinuxAppInstances::requestQuit(const std::string& identifier) {
  auto pid = callBus("GetConnectionUnixProcessID", {QString::fromStdString(identifier)});
  if (!pid) return;
  auto process = static_cast<pid_t>(pid->toUInt());
  if (process > 0) ::kill(process, SIGTERM);
}

bool LinuxAppInstances::openURLs(const std::string& identifier, const std::vector<std::string>& urls) {
  auto bus = SessionBus::connection();
  if (!bus) return false;
  const QString name = QString::fromStdString(identifier);
  QStringList uris;
  for (const auto& url : urls) uris << QString::fromStdString(url);
  auto message = QDBusMessage::createMethodCall(name, SessionBus::objectPath(name),
                                                "org.freedesktop.Application", "Open");
  message << uris << QVariantMap();
  auto reply = bus->call(message, QDBus::Block, kOpenTimeoutMs);
  return reply.type() == QDBusMessage::ReplyMessage;
}
