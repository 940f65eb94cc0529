#include "platform/linux/app_instances_linux.h"

#include <signal.h>

#include <chrono>
#include <thread>

#include <QStringList>
#include <QVariantMap>

#include "platform/linux/application_bus_path.h"

namespace {

constexpr unsigned kDoNotQueue = 4;
// Opening may wait for the application to be started by bus activation first.
constexpr int kOpenTimeoutMs = 10000;
constexpr auto kStartPoll = std::chrono::milliseconds(20);

}  // namespace

LinuxAppInstances::LinuxAppInstances(InstanceGuard& guard, DBusBuses buses, double startWaitSeconds)
    : guard_(guard), buses_(std::move(buses)), startWaitSeconds_(startWaitSeconds) {}

std::optional<QVariant> LinuxAppInstances::callBus(const QString& member, const QVariantList& arguments) {
  auto bus = buses_.session();
  if (!bus) return std::nullopt;
  auto reply = DBusCall::call(*bus, DBusCall::method("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                     "org.freedesktop.DBus", member, arguments));
  if (!reply || reply->isEmpty()) return std::nullopt;
  return reply->first();
}

std::optional<InstanceGuard::Holder> LinuxAppInstances::readyHolder() {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(startWaitSeconds_);
  auto holder = guard_.holder();
  while (holder && !holder->pid && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kStartPoll);
    holder = guard_.holder();
  }
  return holder;
}

bool LinuxAppInstances::isRunning(const std::string& identifier) {
  if (readyHolder()) return true;
  auto bus = buses_.session();
  return bus && DBusCall::hasOwner(*bus, QString::fromStdString(identifier));
}

bool LinuxAppInstances::claim(const std::string&) { return guard_.acquire(); }

void LinuxAppInstances::announce(const std::string& identifier) {
  // The guard already keeps a second copy out; the name is how desktop peers reach this one.
  callBus("RequestName", {QString::fromStdString(identifier), kDoNotQueue});
  guard_.markReady();
}

void LinuxAppInstances::requestQuit(const std::string& identifier) {
  std::optional<long> process;
  if (auto holder = readyHolder()) process = holder->pid;
  if (!process) {
    if (auto pid = callBus("GetConnectionUnixProcessID", {QString::fromStdString(identifier)}))
      process = pid->toUInt();
  }
  if (process && *process > 0) ::kill(static_cast<pid_t>(*process), SIGTERM);
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
