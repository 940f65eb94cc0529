// The application's org.freedesktop.Application object (its adaptor is generated from
// dbus/org.freedesktop.Application.xml): URIs opened by the desktop reach the application here.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <string>
#include <vector>

class ApplicationObject : public QObject {
  Q_OBJECT
 public:
  using OpenHandler = std::function<void(const std::vector<std::string>& urls)>;
  explicit ApplicationObject(OpenHandler onOpen);

  // Exports the object on `bus` at the application's path for `identifier`.
  bool exportOn(QDBusConnection& bus, const std::string& identifier);

  void Activate(const QVariantMap& platformData);
  void Open(const QStringList& uris, const QVariantMap& platformData);
  // The application publishes no actions: every action name is ignored.
  void ActivateAction(const QString& actionName, const QVariantList& parameter,
                      const QVariantMap& platformData);

 private:
  OpenHandler onOpen_;
};
