// Where the Linux services find the system and session buses, connected lazily on first use,
// and short blocking calls that fold every failure into "no answer".
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class DBusBuses {
 public:
  using Connector = std::function<QDBusConnection()>;

  // The user's buses. The session bus counts as absent when neither its address variable nor the
  // runtime directory's socket is there, so nothing autolaunches a stray daemon.
  DBusBuses();
  DBusBuses(Connector system, Connector session);
  // Both roles played by one bus at `address` (tests run a private daemon).
  static DBusBuses privateBus(const QString& address);

  // None when the bus cannot be reached. Connects once; later calls reuse the connection.
  std::optional<QDBusConnection> system();
  std::optional<QDBusConnection> session();

 private:
  static std::optional<QDBusConnection> connectOnce(Connector& connector,
                                                    std::optional<QDBusConnection>& cache, bool& tried);
  Connector systemConnector_;
  Connector sessionConnector_;
  std::optional<QDBusConnection> system_;
  std::optional<QDBusConnection> session_;
  bool systemTried_ = false;
  bool sessionTried_ = false;
};

namespace DBusCall {

// Peers answer within this or count as absent; a hung service must not stall a snapshot.
inline constexpr int kTimeoutMs = 500;

// A method call that never starts a service that is not already running.
QDBusMessage method(const QString& service, const QString& path, const QString& interface,
                    const QString& member, const QVariantList& arguments = {});
// The reply's arguments, or none on an error or time-out.
std::optional<QVariantList> call(QDBusConnection& bus, const QDBusMessage& message);
// A property read through org.freedesktop.DBus.Properties.Get.
std::optional<QVariant> property(QDBusConnection& bus, const QString& service, const QString& path,
                                 const QString& interface, const QString& name);
bool hasOwner(QDBusConnection& bus, const QString& service);

}  // namespace DBusCall
