// The application's org.freedesktop.Application object on a private session bus: the desktop's
// Open reaches the application (within the bounds a person's request keeps), Activate is answered without
// effect, unknown actions are refused, and the logo light's state is published as properties.
#include <gtest/gtest.h>

#include "fakes/temp_tree.h"
#include "formats/app_identifier.h"
#include "linux/dbusmock_bus.h"
#include "formats/app_identifier.h"
#include "platform/linux_services/app_instances_linux.h"
#include "platform/linux_services/instance_guard_linux.h"
#include "platform/linux_utilities/dbus_signal_relay.h"
#include "shell/application_object.h"
#include "shortcuts/named_actions.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>

namespace {

TEST(ApplicationObjectTest, OpenHandsTheUrisToTheApplication) {
  DBusMockBus bus;
  ASSERT_TRUE(bus.started());
  std::vector<std::vector<std::string>> opened;
  ApplicationObject object([&](const std::vector<std::string>& urls) { opened.push_back(urls); });
  auto buses = bus.buses();
  auto connection = buses.session();
  ASSERT_TRUE(connection);
  ASSERT_TRUE(object.exportOn(*connection, kAppIdentifier));
  TempTree scratch;
  LinuxInstanceGuard guard(scratch / "application.lock");
  LinuxAppInstances instances(guard, bus.buses());
  ASSERT_TRUE(instances.claim(kAppIdentifier));
  instances.announce(kAppIdentifier);

  EXPECT_EQ(runClient(bus, "gdbus",
                      {"call", "--session", "--dest", kAppIdentifier, "--object-path",
                       "/app/halomark/Halomark", "--method", "org.freedesktop.Application.Open",
                       "['halomark://signal?message=Hi', 'halomark://signal/stop']", "{}"}),
            0);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], (std::vector<std::string>{"halomark://signal?message=Hi", "halomark://signal/stop"}));

  // A list no person opens is taken only in part, and an absurdly long URI not at all.
  QStringList many;
  many << "'halomark://" + QString(70000, 'x') + "'";
  for (int i = 0; i < 80; ++i) many << QStringLiteral("'halomark://signal?message=%1'").arg(i);
  EXPECT_EQ(
      runClient(bus, "gdbus",
                {"call", "--session", "--dest", kAppIdentifier, "--object-path", "/app/halomark/Halomark",
                 "--method", "org.freedesktop.Application.Open", "[" + many.join(", ") + "]", "{}"}),
      0);
  ASSERT_EQ(opened.size(), 2u);
  ASSERT_EQ(opened[1].size(), 63u);
  EXPECT_EQ(opened[1].front(), "halomark://signal?message=0");
  EXPECT_EQ(opened[1].back(), "halomark://signal?message=62");

  auto call = [&](const QStringList& method) {
    return runClient(bus, "gdbus",
                     QStringList{"call", "--session", "--dest", kAppIdentifier, "--object-path",
                                 "/app/halomark/Halomark", "--method"} +
                         method);
  };
  EXPECT_EQ(call({"org.freedesktop.Application.Activate", "{}"}), 0);
  // Actions are the logo light's; a name the application does not know is refused, not ignored.
  EXPECT_NE(call({"org.freedesktop.Application.ActivateAction", "quit", "[]", "{}"}), 0);
  EXPECT_EQ(opened.size(), 2u);
}

// Calls from a second connection, so the arguments cross the bus as a desktop's would.
class BoundedArgumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bus.started());
    service = bus.buses().session();
    ASSERT_TRUE(service);
    ApplicationObject::LogoLightHandlers handlers;
    handlers.activateAction = [this](const std::string&, const std::vector<PlistValue>& parameter) {
      handled.push_back(parameter);
      return ApplicationObject::Reply{"done"};
    };
    handlers.set = [](const std::string& mode, double) {
      return ApplicationObject::Reply{"Unknown logo light mode " + LogoLight::quoted(mode) + ".", true};
    };
    object.setLogoLightHandlers(handlers);
    ASSERT_TRUE(object.exportOn(*service, kAppIdentifier));
    ASSERT_TRUE(service->registerService(QString::fromUtf8(kAppIdentifier)));
  }

  QDBusMessage callWith(const QString& interface, const QString& method, const QVariantList& arguments) {
    auto client = QDBusConnection::connectToBus(bus.address(), "bounded-client-" + bus.address());
    auto message = QDBusMessage::createMethodCall(
        QString::fromUtf8(kAppIdentifier), QStringLiteral("/app/halomark/Halomark"), interface, method);
    message.setArguments(arguments);
    // The object answers on this thread, so the call waits in an event loop of its own.
    return client.call(message, QDBus::BlockWithGui, 60000);
  }
  QDBusMessage activate(const QString& name, const QVariantList& parameter) {
    return callWith(QStringLiteral("org.freedesktop.Application"), QStringLiteral("ActivateAction"),
                    {name, QVariant::fromValue(parameter), QVariantMap()});
  }

  DBusMockBus bus;
  std::optional<QDBusConnection> service;
  ApplicationObject object{[](const std::vector<std::string>&) {}};
  std::vector<std::vector<PlistValue>> handled;
};

TEST_F(BoundedArgumentsTest, TooManyOrTooLargeParameterValuesAreRefusedUnconverted) {
  QVariantList million;
  million.reserve(1000000);
  for (int i = 0; i < 1000000; ++i) million << i;
  auto reply = activate(QStringLiteral("status"), million);
  EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(reply.errorMessage(), "An action takes at most 64 parameter values; this call had 1000000.");
  EXPECT_TRUE(handled.empty());

  // The same million inside one value: counted as it is read, refused past the bound.
  reply = activate(QStringLiteral("status"), {QVariant::fromValue(million)});
  EXPECT_EQ(reply.errorMessage(), "The action's parameter is too large or nested too deeply.");
  reply = activate(QStringLiteral("set"), {QString(5000, 'm'), 300.0});
  EXPECT_EQ(reply.errorMessage(), "The action's parameter is too large or nested too deeply.");
  EXPECT_TRUE(handled.empty());

  // Within the bounds the values arrive whole.
  QVariantList structure{QStringLiteral("fixed"), QVariant::fromValue(QVariantList{1, 2, 3})};
  reply = activate(QStringLiteral("set"), {QVariant::fromValue(structure)});
  ASSERT_EQ(handled.size(), 1u);
  EXPECT_EQ(handled[0][0], PlistValue::array({"fixed", PlistValue::array({1, 2, 3})}));
}

TEST_F(BoundedArgumentsTest, RefusalsQuoteAtMostTwoHundredCharactersOfAHugeName) {
  const QString huge(1024 * 1024, QChar('n'));
  auto reply = activate(huge, {});
  EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(reply.errorMessage().toStdString(), "Unknown action \"" + std::string(200, 'n') + "\u2026\".");
  EXPECT_TRUE(handled.empty());

  reply = callWith(QStringLiteral("app.halomark.Halomark.LogoLight"), QStringLiteral("SetLogoLight"),
                   {huge, 300.0});
  EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(reply.errorMessage().toStdString(),
            "Unknown logo light mode \"" + std::string(200, 'n') + "\u2026\".");
}

}  // namespace

// The logo light's published state: read with GetAll, announced once per real change, and not at
// all when a check finds everything as it was.
TEST_F(BoundedArgumentsTest, PropertiesChangedOncePerRealChangeWithOnlyWhatChanged) {
  std::vector<QDBusMessage> announced;
  DBusSignalRelay relay([&](const QDBusMessage& message) { announced.push_back(message); });
  auto reader = QDBusConnection::connectToBus(bus.address(), "properties-reader-" + bus.address());
  ASSERT_TRUE(relay.connectTo(reader, QString(), QStringLiteral("/app/halomark/Halomark"),
                              QStringLiteral("org.freedesktop.DBus.Properties"),
                              QStringLiteral("PropertiesChanged")));
  const QString logoLight = QString::fromUtf8(kAppIdentifier) + ".LogoLight";
  PlistDictionary state{{"Setting", "fixed"},  {"FixedNits", 80.0},  {"LogoNits", 80.0},
                        {"HeldOffReason", ""}, {"DimmedReason", ""}, {"Signaling", false},
                        {"SignalMessage", ""}, {"SignalStyle", ""}};
  object.publish(state);
  object.publish(state);

  auto all =
      callWith(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"), {logoLight});
  ASSERT_EQ(all.type(), QDBusMessage::ReplyMessage) << all.errorMessage().toStdString();
  auto values = qdbus_cast<QVariantMap>(all.arguments().at(0));
  EXPECT_EQ(values.value("Setting").toString(), "fixed");
  EXPECT_EQ(values.value("LogoNits").toDouble(), 80.0);
  EXPECT_EQ(values.value("Signaling").toBool(), false);

  state["LogoNits"] = 120.0;
  object.publish(state);
  object.publish(state);
  state["Signaling"] = true;
  state["SignalMessage"] = "Done: make";
  object.publish(state);
  // Signals arrive in the order sent: once the second is here, no other came before it.
  ASSERT_TRUE(waitUntil([&] { return announced.size() >= 2; }));
  waitUntil([&] { return announced.size() > 2; }, 0.3);
  ASSERT_EQ(announced.size(), 2u);
  EXPECT_EQ(announced[0].arguments().at(0).toString(), logoLight);
  auto first = qdbus_cast<QVariantMap>(announced[0].arguments().at(1));
  EXPECT_EQ(first.keys(), QStringList{"LogoNits"});
  EXPECT_EQ(first.value("LogoNits").toDouble(), 120.0);
  auto second = qdbus_cast<QVariantMap>(announced[1].arguments().at(1));
  EXPECT_EQ(second.keys(), (QStringList{"SignalMessage", "Signaling"}));
  EXPECT_EQ(second.value("SignalMessage").toString(), "Done: make");
  QDBusConnection::disconnectFromBus("properties-reader-" + bus.address());
}
