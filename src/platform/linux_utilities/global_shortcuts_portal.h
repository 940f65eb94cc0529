// The toggle combination through the desktop's GlobalShortcuts portal (Wayland): a session is
// created, the shortcut bound with Ctrl+Alt+Super+L as the preferred trigger (the desktop may ask
// the user or choose another), and each activation runs the action. A desktop without the portal
// simply never activates it.
#pragma once

#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>
#include <functional>

#include "platform/interfaces/hot_keys.h"

class GlobalShortcutsPortal : public QObject, public HotKeyRegistration {
  Q_OBJECT

 public:
  explicit GlobalShortcutsPortal(std::function<void()> action);
  ~GlobalShortcutsPortal() override;

  // Whether the session bus has a portal offering global shortcuts.
  static bool available();

 private slots:
  void sessionCreated(uint response, const QVariantMap& results);
  void activated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                 const QVariantMap& options);

 private:
  QString requestPath(const QString& token) const;

  std::function<void()> action_;
  QString session_;
};
