// The application's org.freedesktop.Application object on a private session bus: the desktop's
// Open reaches the application, and the calls it has no use for are answered without effect.
#include <gtest/gtest.h>

#include "linux/dbusmock_bus.h"
#include "platform/linux/app_instances_linux.h"
#include "prefs/app_identifier.h"
#include "shell/application_object.h"

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
  ASSERT_TRUE(LinuxAppInstances(bus.buses()).claim(kAppIdentifier));

  EXPECT_EQ(runClient(bus, "gdbus",
                      {"call", "--session", "--dest", kAppIdentifier, "--object-path",
                       "/app/halomark/Halomark", "--method", "org.freedesktop.Application.Open",
                       "['halomark://signal?message=Hi', 'halomark://signal/stop']", "{}"}),
            0);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], (std::vector<std::string>{"halomark://signal?message=Hi", "halomark://signal/stop"}));

  for (const auto& call : {QStringList{"org.freedesktop.Application.Activate", "{}"},
                           QStringList{"org.freedesktop.Application.ActivateAction", "quit", "[]", "{}"}}) {
    EXPECT_EQ(runClient(bus, "gdbus",
                        QStringList{"call", "--session", "--dest", kAppIdentifier, "--object-path",
                                    "/app/halomark/Halomark", "--method"} +
                            call),
              0)
        << call.first().toStdString();
  }
  EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
