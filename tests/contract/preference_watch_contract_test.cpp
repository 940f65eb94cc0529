// What every PreferenceWatch must do, run against the fake the logic tests use and against the
// Linux watch of a temporary preference folder written by a second store, as the tool writes it:
// the application's reaction to the tool's writes is tested on the fake.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fakes/fake_preference_watch.h"
#include "fakes/temp_tree.h"
#include "linux/dbusmock_bus.h"
#include "platform/linux/preference_domains_linux.h"
#include "platform/linux/preference_watch_linux.h"

namespace {

struct FakeWatch {
  FakePreferenceWatch watch;
  // Another process wrote `domain`.
  void write(const std::string& domain) { watch.changed(domain); }
  // Until whatever a write causes has arrived.
  void settle(const std::function<bool()>&) {}
};

struct LinuxWatch {
  LinuxWatch() { ensureCoreApplication(); }
  TempTree folder;
  LinuxPreferenceWatch watch{folder / "halomark"};
  LinuxPreferenceDomains writer{folder / "halomark"};
  int writes = 0;
  void write(const std::string& domain) { writer.setValue(domain, "setting", ++writes); }
  // Waits for `expected` (if anything is), then a little longer to catch anything extra.
  void settle(const std::function<bool()>& expected) {
    if (expected) waitUntil(expected, 5);
    waitUntil([] { return false; }, 0.3);
  }
};

template <typename Backend>
class PreferenceWatchContract : public ::testing::Test {
 protected:
  Backend backend;
  PreferenceWatch& watch = backend.watch;
};

using Backends = ::testing::Types<FakeWatch, LinuxWatch>;
TYPED_TEST_SUITE(PreferenceWatchContract, Backends);

TYPED_TEST(PreferenceWatchContract, EveryWatcherHearsWritesOfItsDomainOnly) {
  int first = 0, second = 0, other = 0;
  ASSERT_TRUE(this->watch.watch("app.example", [&] { ++first; }));
  ASSERT_TRUE(this->watch.watch("app.example", [&] { ++second; }));
  ASSERT_TRUE(this->watch.watch("app.other", [&] { ++other; }));

  this->backend.write("app.unwatched");
  this->backend.settle(nullptr);
  EXPECT_EQ(first + second + other, 0) << "a domain nobody watches";

  this->backend.write("app.example");
  this->backend.settle([&] { return first > 0 && second > 0; });
  EXPECT_GT(first, 0);
  EXPECT_GT(second, 0);
  EXPECT_EQ(other, 0);

  int seen = first;
  this->backend.write("app.example");
  this->backend.settle([&] { return first > seen; });
  EXPECT_GT(first, seen) << "every write, not just the first";
}

TYPED_TEST(PreferenceWatchContract, ANameThatIsNoFileNameCannotBeWatched) {
  EXPECT_FALSE(this->watch.watch("", [] {}));
  EXPECT_FALSE(this->watch.watch("../escape", [] {}));
  EXPECT_FALSE(this->watch.watch("app.example/inner", [] {}));
  EXPECT_TRUE(this->watch.watch("app.example", [] {}));
}

}  // namespace
