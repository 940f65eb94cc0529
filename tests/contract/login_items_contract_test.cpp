// What every LoginItems must do, run against the fake the logic tests use and against the Linux
// autostart entry in a temporary configuration folder: the settings and welcome windows' switch
// and the uninstall are tested on the fake, so the fake must succeed and refuse where Linux does.
#include <gtest/gtest.h>

#include "fakes/fake_maintenance.h"
#include "fakes/temp_tree.h"
#include "platform/linux/login_items_linux.h"

namespace {

const std::string kExecutable = "/opt/Halomark.app/Contents/MacOS/Halomark";

struct FakeItems {
  FakeLoginItems items;
  // The storage refuses every change, as a folder that cannot be written.
  void breakStorage() { items.failure = "Couldn't create the folder."; }
};

struct LinuxItems {
  TempTree folder;
  LinuxLoginItems items{folder / "autostart"};
  void breakStorage() { folder.makeFile("autostart", "a file where the folder belongs"); }
};

template <typename Backend>
class LoginItemsContract : public ::testing::Test {
 protected:
  Backend backend;
  LoginItems& items = backend.items;
};

using Backends = ::testing::Types<FakeItems, LinuxItems>;
TYPED_TEST_SUITE(LoginItemsContract, Backends);

TYPED_TEST(LoginItemsContract, EnablingAndDisablingCanEachBeRepeated) {
  auto& items = this->items;
  EXPECT_FALSE(items.isEnabled()) << "nothing is enabled at first";
  EXPECT_EQ(items.enable(kExecutable), std::nullopt);
  EXPECT_TRUE(items.isEnabled());
  EXPECT_EQ(items.enable(kExecutable), std::nullopt) << "enabling again is no failure";
  EXPECT_TRUE(items.isEnabled());

  EXPECT_EQ(items.disable(), std::nullopt);
  EXPECT_FALSE(items.isEnabled());
  EXPECT_EQ(items.disable(), std::nullopt) << "disabling what is off is no failure";
  EXPECT_FALSE(items.isEnabled());
}

TYPED_TEST(LoginItemsContract, ARefusedEnableSaysWhyAndEnablesNothing) {
  auto& items = this->items;
  auto refused = items.enable("/opt/a\nExec=sh -c evil\n/Halomark.app/Contents/MacOS/Halomark");
  ASSERT_TRUE(refused) << "a path that would break the entry's line";
  EXPECT_FALSE(refused->empty());
  EXPECT_FALSE(items.isEnabled());

  this->backend.breakStorage();
  refused = items.enable(kExecutable);
  ASSERT_TRUE(refused);
  EXPECT_FALSE(refused->empty());
  EXPECT_FALSE(items.isEnabled());
  EXPECT_EQ(items.disable(), std::nullopt) << "with nothing enabled there is nothing to remove";
}

}  // namespace
