#include "dbusmock_bus.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>

#include "platform/linux_utilities/dbus_buses.h"

void ensureCoreApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "halomark_linux_tests";
  static char* argv[] = {name, nullptr};
  new QCoreApplication(argc, argv);
}

DBusBuses unreachableBuses() {
  auto absent = [] { return QDBusConnection(QStringLiteral("halomark-test-no-bus")); };
  return DBusBuses(absent, absent);
}

bool waitUntil(const std::function<bool()>& done, double seconds) {
  QDeadlineTimer deadline(static_cast<qint64>(seconds * 1000));
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

DBusMockBus::DBusMockBus() : daemon_(std::make_unique<QProcess>()) {
  ensureCoreApplication();
  daemon_->start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                  QStringLiteral("--print-address=1")});
  if (!daemon_->waitForStarted(5000)) return;
  QDeadlineTimer deadline(5000);
  while (!daemon_->canReadLine() && !deadline.hasExpired()) daemon_->waitForReadyRead(100);
  address_ = QString::fromUtf8(daemon_->readLine()).trimmed();
}

DBusMockBus::~DBusMockBus() {
  for (auto& mock : mocks_) {
    mock->kill();
    mock->waitForFinished(2000);
  }
  QDBusConnection::disconnectFromBus(QStringLiteral("halomark-private-") + address_);
  QDBusConnection::disconnectFromBus(QStringLiteral("test-") + address_);
  daemon_->kill();
  daemon_->waitForFinished(2000);
}

void DBusMockBus::stopDaemon() {
  daemon_->terminate();
  daemon_->waitForFinished(2000);
}

QDBusConnection DBusMockBus::connection() const {
  return QDBusConnection::connectToBus(address_, QStringLiteral("test-") + address_);
}

bool DBusMockBus::startMock(const QString& busName, const QStringList& arguments) {
  auto mock = std::make_unique<QProcess>();
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address_);
  environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
  mock->setProcessEnvironment(environment);
  mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  mock->start(QStringLiteral("/usr/bin/python3"),
              QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock")} + arguments);
  if (!mock->waitForStarted(5000)) return false;
  mocks_.push_back(std::move(mock));
  QDBusConnection bus = connection();
  return waitUntil([&] { return DBusCall::hasOwner(bus, busName); }, 10);
}

bool DBusMockBus::call(const QString& service, const QString& path, const QString& interface,
                       const QString& member, const QVariantList& arguments) {
  QDBusConnection bus = connection();
  QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, member);
  message.setArguments(arguments);
  return bus.call(message, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

int runClient(const DBusMockBus& bus, const QString& program, const QStringList& arguments) {
  QProcess client;
  auto environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
  client.setProcessEnvironment(environment);
  client.start(program, arguments);
  if (!client.waitForStarted(5000)) return -1;
  waitUntil([&] { return client.state() == QProcess::NotRunning; }, 10);
  return client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
}
