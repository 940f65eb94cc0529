// The application's object on the session bus: org.freedesktop.Application (URIs opened by the
// desktop, named actions) and the logo-light interface, with adaptors generated from the XML files
// in dbus/. The object only translates; what each call does is given by the application.
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "formats/plist_value.h"

class ApplicationObject : public QObject, protected QDBusContext {
  Q_OBJECT
  // The logo-light interface's properties, as last published.
  Q_PROPERTY(QString Setting READ setting)
  Q_PROPERTY(double FixedNits READ fixedNits)
  Q_PROPERTY(double LogoNits READ logoNits)
  Q_PROPERTY(QString HeldOffReason READ heldOffReason)
  Q_PROPERTY(QString DimmedReason READ dimmedReason)
  Q_PROPERTY(bool Signaling READ signaling)
  Q_PROPERTY(QString SignalMessage READ signalMessage)
  Q_PROPERTY(QString SignalStyle READ signalStyle)

 public:
  using OpenHandler = std::function<void(const std::vector<std::string>& urls)>;
  // An answer for the caller, or (when `refused`) the reason for an InvalidArgs error.
  struct Reply {
    std::string text;
    bool refused = false;
  };
  struct LogoLightHandlers {
    std::function<std::pair<bool, std::string>()> status;
    std::function<std::string()> toggle;
    std::function<std::string()> turnOn;
    std::function<std::string()> turnOff;
    std::function<Reply(const std::string& mode, double nits)> set;
    // A named action with its parameter's values (a structure arrives as an array).
    std::function<Reply(const std::string& name, const std::vector<PlistValue>& parameter)> activateAction;
  };

  explicit ApplicationObject(OpenHandler onOpen);
  // Until they are set, the logo-light calls and named actions are refused.
  void setLogoLightHandlers(LogoLightHandlers handlers) { logoLight_ = std::move(handlers); }

  // Exports the object on `bus` at the application's path for `identifier`.
  bool exportOn(QDBusConnection& bus, const std::string& identifier);

  // Takes the logo-light properties now and announces those that differ from the last ones with
  // one PropertiesChanged signal; nothing when none differs.
  void publish(const PlistDictionary& properties);

  QString setting() const;
  double fixedNits() const;
  double logoNits() const;
  QString heldOffReason() const;
  QString dimmedReason() const;
  bool signaling() const;
  QString signalMessage() const;
  QString signalStyle() const;

 public slots:
  void Activate(const QVariantMap& platformData);
  void Open(const QStringList& uris, const QVariantMap& platformData);
  void ActivateAction(const QString& actionName, const QVariantList& parameter,
                      const QVariantMap& platformData);

  bool GetLogoLightStatus(QString& sentence);
  QString ToggleLogoLight();
  QString TurnLogoLightOn();
  QString TurnLogoLightOff();
  QString SetLogoLight(const QString& mode, double nits);

 private:
  QString answer(const Reply& reply);
  QString unavailable();

  QString text(const char* name) const;
  double number(const char* name, double fallback) const;

  OpenHandler onOpen_;
  LogoLightHandlers logoLight_;
  std::optional<QDBusConnection> bus_;
  QString path_;
  QString interface_;
  std::optional<PlistDictionary> published_;
};
