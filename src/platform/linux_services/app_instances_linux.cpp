#include "platform/linux_services/app_instances_linux.h"

#include <signal.h>

#include <chrono>
#include <iostream>
#include <thread>

#include <QStringList>
#include <QVariantMap>

#include "platform/linux_utilities/application_bus_path.h"
#include "platform/linux_utilities/own_copies.h"

namespace {

constexpr unsigned kDoNotQueue = 4;
constexpr unsigned kPrimaryOwner = 1;
constexpr unsigned kAlreadyOwner = 4;
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
  if (bus && DBusCall::hasOwner(*bus, QString::fromStdString(identifier))) return true;
  // Where the lock cannot be used, an application runs without it, and only its process shows it.
  if (!guard_.problem()) return false;
  auto copies = OwnCopies::all();
  return copies && !copies->empty();
}

// The lock keeps a second copy out with or without a bus. Where it cannot be used, the bus name
// does (as for a copy of a build without the lock), else a look at the running processes; only
// where neither can be had does the application run unguarded, and it says so.
bool LinuxAppInstances::claim(const std::string& identifier) {
  auto acquired = guard_.acquire();
  if (acquired != InstanceGuard::Acquired::unusable) return acquired == InstanceGuard::Acquired::yes;
  std::string why = "halomark: can't use the instance lock: " + guard_.problem().value_or("unknown reason");
  if (auto reply = callBus("RequestName", {QString::fromStdString(identifier), kDoNotQueue})) {
    std::cerr << why << "; the session bus name keeps a second copy out instead\n";
    return reply->toUInt() == kPrimaryOwner || reply->toUInt() == kAlreadyOwner;
  }
  if (auto earlier = OwnCopies::startedEarlier()) {
    if (!earlier->empty()) return false;
    std::cerr << why << "; a look at the running processes keeps a second copy out instead\n";
    return true;
  }
  std::cerr << why << "; nothing can keep a second copy out, so this one runs unguarded\n";
  return true;
}

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
  if (!process && guard_.problem()) {
    if (auto copies = OwnCopies::all(); copies && !copies->empty()) {
      for (long pid : *copies) ::kill(static_cast<pid_t>(pid), SIGTERM);
      return;
    }
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
