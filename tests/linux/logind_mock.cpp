#include "logind_mock.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {

const QString kMockInterface = QStringLiteral("org.freedesktop.DBus.Mock");

}  // namespace

bool LogindMock::start() {
  return bus_.startMock(kService,
                        {QStringLiteral("--system"), QStringLiteral("--template"), QStringLiteral("logind")});
}

bool LogindMock::addSession(const QString& id, bool active, uint uid) {
  return mock(kPath, QStringLiteral("AddSession"),
              {id, QStringLiteral("seat0"), uid, QStringLiteral("user"), active});
}

bool LogindMock::setActive(const QString& id, bool active) {
  return bus_.call(kService, sessionPath(id), QStringLiteral("org.freedesktop.DBus.Properties"),
                   QStringLiteral("Set"),
                   {kSession, QStringLiteral("Active"), QVariant::fromValue(QDBusVariant(active))});
}

bool LogindMock::setLocked(const QString& id, bool locked) {
  return bus_.call(kService, sessionPath(id), kSession, QStringLiteral("SetLockedHint"), {locked});
}

bool LogindMock::removeSession(const QString& id) {
  return emitManagerSignal(QStringLiteral("SessionRemoved"), QStringLiteral("so"),
                           {id, QVariant::fromValue(QDBusObjectPath(sessionPath(id)))});
}

bool LogindMock::emitManagerSignal(const QString& name, const QString& signature,
                                   const QVariantList& arguments) {
  return mock(kPath, QStringLiteral("EmitSignal"),
              {kManager, name, signature, QVariant::fromValue(arguments)});
}

bool LogindMock::addManagerMethod(const QString& name, const QString& inSignature,
                                  const QString& outSignature, const QString& code) {
  return mock(kPath, QStringLiteral("AddMethod"), {kManager, name, inSignature, outSignature, code});
}

bool LogindMock::addSessionMethod(const QString& id, const QString& name, const QString& inSignature,
                                  const QString& outSignature, const QString& code) {
  return mock(sessionPath(id), QStringLiteral("AddMethod"),
              {kSession, name, inSignature, outSignature, code});
}

int LogindMock::callsOf(const QString& id, const QString& method) {
  auto message = QDBusMessage::createMethodCall(kService, sessionPath(id), kMockInterface,
                                                QStringLiteral("GetMethodCalls"));
  message.setArguments({method});
  auto reply = bus_.connection().call(message, QDBus::Block, 5000);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return -1;
  const QDBusArgument calls = reply.arguments().first().value<QDBusArgument>();
  int count = 0;
  calls.beginArray();
  while (!calls.atEnd()) {
    QVariant ignored;
    calls >> ignored;
    ++count;
  }
  calls.endArray();
  return count;
}

bool LogindMock::mock(const QString& path, const QString& member, const QVariantList& arguments) {
  return bus_.call(kService, path, kMockInterface, member, arguments);
}
