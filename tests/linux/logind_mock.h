// systemd-logind played by python3-dbusmock's template on a private bus: sessions added, changed
// and removed, signals sent and session methods scripted the way the Linux services' tests need.
#pragma once

#include <QString>
#include <QVariantList>

#include "dbusmock_bus.h"

class LogindMock {
 public:
  static inline const QString kService = QStringLiteral("org.freedesktop.login1");
  static inline const QString kPath = QStringLiteral("/org/freedesktop/login1");
  static inline const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
  static inline const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
  static QString sessionPath(const QString& id) { return kPath + QStringLiteral("/session/") + id; }

  explicit LogindMock(DBusMockBus& bus) : bus_(bus) {}

  // Starts logind on the bus; false when it never appears.
  bool start();
  // A session `id` on seat0 of user `uid`.
  bool addSession(const QString& id, bool active = true, uint uid = 1000);
  // The session's Active property, as when another user's session is switched in or back.
  bool setActive(const QString& id, bool active);
  // The session's LockedHint, set through its own SetLockedHint as a screen locker does.
  bool setLocked(const QString& id, bool locked);
  // The Manager's SessionRemoved signal for `id`.
  bool removeSession(const QString& id);
  // Any signal of the Manager.
  bool emitManagerSignal(const QString& name, const QString& signature, const QVariantList& arguments);
  // A method of the Manager or of session `id`, running `code` (Python; `args` holds the arguments).
  bool addManagerMethod(const QString& name, const QString& inSignature, const QString& outSignature,
                        const QString& code);
  bool addSessionMethod(const QString& id, const QString& name, const QString& inSignature,
                        const QString& outSignature, const QString& code);
  // How many times session `id`'s `method` has been called; -1 when it cannot be asked.
  int callsOf(const QString& id, const QString& method);

 private:
  bool mock(const QString& path, const QString& member, const QVariantList& arguments);

  DBusMockBus& bus_;
};
