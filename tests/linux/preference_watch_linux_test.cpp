// The preference folder watch on a real folder: writes by another process, by rename or in place,
// are reported for their domain only.
#include "platform/linux_services/preference_watch_linux.h"

#include <gtest/gtest.h>

#include "dbusmock_bus.h"
#include "fakes/temp_tree.h"
#include "platform/linux_services/preference_domains_linux.h"

namespace {

TEST(LinuxPreferenceWatchTest, ReportsChangesOfItsDomainFromAnyWriter) {
  ensureCoreApplication();
  TempTree scratch;
  const std::string directory = scratch / "config/halomark";
  LinuxPreferenceWatch watch(directory);
  int changes = 0;
  ASSERT_TRUE(watch.watch("app.example", [&] { ++changes; })) << "a missing folder is made";
  EXPECT_FALSE(watch.watch("../escape", [] {}));

  LinuxPreferenceDomains writer(directory);
  writer.setValue("app.example", "setting", "off");
  ASSERT_TRUE(waitUntil([&] { return changes >= 1; }, 5)) << "the first write creates the file";
  int seen = changes;

  // Another domain, and the lock file beside it, are not this domain's changes.
  writer.setValue("app.other", "setting", "off");
  waitUntil([] { return false; }, 0.3);
  EXPECT_EQ(changes, seen);

  writer.setValue("app.example", "setting", "automatic");
  ASSERT_TRUE(waitUntil([&] { return changes > seen; }, 5)) << "a file renamed into place";
  seen = changes;

  TempTree::write(directory + "/app.example.json", "{\"setting\": \"edited by hand\"}");
  EXPECT_TRUE(waitUntil([&] { return changes > seen; }, 5)) << "an edit in place";
}

}  // namespace
