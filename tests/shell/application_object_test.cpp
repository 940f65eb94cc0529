// The application's org.freedesktop.Application object on a private session bus: the desktop's
// Open reaches the application (within the bounds a person's request keeps), Activate is answered without
// effect, and unknown actions are refused.
#include <gtest/gtest.h>

#include "fakes/temp_tree.h"
#include "linux/dbusmock_bus.h"
#include "platform/linux/app_instances_linux.h"
#include "platform/linux/instance_guard_linux.h"
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

}  // namespace
