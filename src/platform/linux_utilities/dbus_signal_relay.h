// Passes each D-Bus signal it is connected to on to a function, on the thread that made it.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <functional>

class DBusSignalRelay : public QObject {
  Q_OBJECT

 public:
  explicit DBusSignalRelay(std::function<void(const QDBusMessage&)> onSignal);

  // Subscribes to one signal; an empty path matches every object of the service. `arguments`
  // narrows it to signals whose leading string arguments are those.
  bool connectTo(QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
                 const QString& name, const QStringList& arguments = {});

 public Q_SLOTS:
  void relay(const QDBusMessage& message);

 private:
  std::function<void(const QDBusMessage&)> onSignal_;
};
