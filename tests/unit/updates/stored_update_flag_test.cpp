#include "updates/stored_update_flag.h"

#include <gtest/gtest.h>

#include "fakes/fake_preference_domains.h"
#include "prefs/app_identifier.h"

namespace {

TEST(StoredUpdateFlagTest, OnUntilTurnedOffAndWrittenOutAtOnce) {
  FakePreferenceDomains domains;
  StoredUpdateFlag flag(domains);
  EXPECT_TRUE(flag.automaticallyChecksForUpdates());
  flag.setAutomaticallyChecksForUpdates(false);
  EXPECT_FALSE(flag.automaticallyChecksForUpdates());
  EXPECT_EQ(domains.synchronizeCount, 1);
  // Something that is not a flag reads as the default.
  domains.domains[kAppIdentifier]["automaticallyChecksForUpdates"] = "no";
  EXPECT_TRUE(flag.automaticallyChecksForUpdates());
}

}  // namespace
