#include "platform/linux_utilities/global_shortcuts_portal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusVariant>

#include "formats/app_identifier.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kShortcutId = QStringLiteral("toggle-logo");
constexpr int kTimeoutMs = 2000;

struct Shortcut {
  QString id;
  QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const Shortcut& shortcut) {
  argument.beginStructure();
  argument << shortcut.id << shortcut.properties;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Shortcut& shortcut) {
  argument.beginStructure();
  argument >> shortcut.id >> shortcut.properties;
  argument.endStructure();
  return argument;
}

}  // namespace

Q_DECLARE_METATYPE(Shortcut)

GlobalShortcutsPortal::GlobalShortcutsPortal(std::function<void()> action) : action_(std::move(action)) {
  qDBusRegisterMetaType<Shortcut>();
  qDBusRegisterMetaType<QList<Shortcut>>();
  QDBusConnection bus = QDBusConnection::sessionBus();
  // Unsandboxed applications name themselves first, or newer portals refuse global shortcuts.
  auto registry = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
  registry << QString::fromLatin1(kAppIdentifier) << QVariantMap();
  bus.call(registry, QDBus::Block, kTimeoutMs);

  const QString token = QStringLiteral("halomark_session");
  bus.connect(kService, requestPath(token), QStringLiteral("org.freedesktop.portal.Request"),
              QStringLiteral("Response"), this, SLOT(sessionCreated(uint, QVariantMap)));
  auto create = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CreateSession"));
  create << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), token}};
  bus.asyncCall(create, kTimeoutMs);
}

GlobalShortcutsPortal::~GlobalShortcutsPortal() {
  if (session_.isEmpty()) return;
  auto close = QDBusMessage::createMethodCall(
      kService, session_, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close"));
  QDBusConnection::sessionBus().call(close, QDBus::Block, kTimeoutMs);
}

bool GlobalShortcutsPortal::available() {
  auto get = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << kInterface << QStringLiteral("version");
  return QDBusConnection::sessionBus().call(get, QDBus::Block, kTimeoutMs).type() ==
         QDBusMessage::ReplyMessage;
}

QString GlobalShortcutsPortal::requestPath(const QString& token) const {
  QString sender =
      QDBusConnection::sessionBus().baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
  return kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

void GlobalShortcutsPortal::sessionCreated(uint response, const QVariantMap& results) {
  if (response != 0 || !session_.isEmpty()) return;
  session_ = results.value(QStringLiteral("session_handle")).toString();
  if (session_.isEmpty()) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
              SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
  Shortcut toggle{kShortcutId,
                  {{QStringLiteral("description"), QStringLiteral("Turn the logo light on or off")},
                   {QStringLiteral("preferred_trigger"), QStringLiteral("CTRL+ALT+LOGO+l")}}};
  auto bind = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("BindShortcuts"));
  bind << QVariant::fromValue(QDBusObjectPath(session_)) << QVariant::fromValue(QList<Shortcut>{toggle})
       << QString() << QVariantMap{{QStringLiteral("handle_token"), QStringLiteral("halomark_bind")}};
  bus.asyncCall(bind, kTimeoutMs);
}

void GlobalShortcutsPortal::activated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                      const QVariantMap&) {
  if (session.path() == session_ && id == kShortcutId) action_();
}
