#include "platform/linux/app_instances_linux.h"

#include <signal.h>

#include <QStringList>
#include <QVariantMap>

#include "platform/linux/application_bus_path.h"

namespace {

constexpr unsigned kDoNotQueue = 4;
constexpr unsigned kPrimaryOwner = 1;
// Opening may wait for the application to be started by bus activation first.
constexpr int kOpenTimeoutMs = 10000;

}  // namespace

LinuxAppInstances::LinuxAppInstances(DBusBuses buses) : buses_(std::move(buses)) {}

std::optional<QVariant> LinuxAppInstances::callBus(const QString& member, const QVariantList& arguments) {
  auto bus = buses_.session();
  if (!bus) return std::nullopt;
  auto reply = DBusCall::call(*bus, DBusCall::method("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                     "org.freedesktop.DBus", member, arguments));
  if (!reply || reply->isEmpty()) return std::nullopt;
  return reply->first();
}

bool LinuxAppInstances::isRunning(const std::string& identifier) {
  auto bus = buses_.session();
  return bus && DBusCall::hasOwner(*bus, QString::fromStdString(identifier));
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
  auto bus = buses_.session();
  if (!bus) return false;
  const QString name = QString::fromStdString(identifier);
  QStringList uris;
  for (const auto& url : urls) uris << QString::fromStdString(url);
  auto message =
      QDBusMessage::createMethodCall(name, applicationBusPath(name), "org.freedesktop.Application", "Open");
  message << uris << QVariantMap();
  return bus->call(message, QDBus::Block, kOpenTimeoutMs).type() == QDBusMessage::ReplyMessage;
}
