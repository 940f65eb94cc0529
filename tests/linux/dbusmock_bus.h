// A private D-Bus daemon for one test, playing both the system and the session bus, with
// python3-dbusmock services started on it. Nothing reaches the machine's real buses.
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/linux_utilities/dbus_buses.h"

// Qt's event loop and QtDBus need an application object; tests create it once.
void ensureCoreApplication();

// Buses that can never be reached: the services that use them find nothing.
DBusBuses unreachableBuses();

// Runs the Qt event loop until `done` holds or `seconds` pass; returns `done()`.
bool waitUntil(const std::function<bool()>& done, double seconds = 5);

class DBusMockBus;

// Runs a command-line client against the private bus and waits for it while the event loop turns,
// so this process can answer calls the client makes to it. Returns its exit status, -1 when it did
// not start or crashed.
int runClient(const DBusMockBus& bus, const QString& program, const QStringList& arguments);

class DBusMockBus {
 public:
  DBusMockBus();
  ~DBusMockBus();
  DBusMockBus(const DBusMockBus&) = delete;
  DBusMockBus& operator=(const DBusMockBus&) = delete;

  bool started() const { return !address_.isEmpty(); }
  const QString& address() const { return address_; }
  // A fresh set of lazily connected buses, both on this daemon.
  DBusBuses buses() const { return DBusBuses::privateBus(address_); }
  QDBusConnection connection() const;

  // `python3 -m dbusmock <arguments>`, waiting until `busName` is owned. False when it never is.
  bool startMock(const QString& busName, const QStringList& arguments);
  // Ends the daemon, as when the session that ran it is over.
  void stopDaemon();
  // Calls a method and returns whether it succeeded.
  bool call(const QString& service, const QString& path, const QString& interface, const QString& member,
            const QVariantList& arguments = {});

 private:
  QString address_;
  std::unique_ptr<QProcess> daemon_;
  std::vector<std::unique_ptr<QProcess>> mocks_;
};
