// What every PreferenceDomains must do, run against the fake the logic tests use and against the
// Linux files in a temporary folder: a logic test on the fake proves something only while the fake
// behaves like the real store.
#include <gtest/gtest.h>

#include <memory>

#include "fakes/fake_preference_domains.h"
#include "fakes/temp_tree.h"
#include "platform/linux_services/preference_domains_linux.h"

namespace {

struct FakeStore {
  FakePreferenceDomains domains;
};

struct LinuxStore {
  TempTree folder;
  LinuxPreferenceDomains domains{folder / "halomark"};
};

template <typename Store>
class PreferenceDomainsContract : public ::testing::Test {
 protected:
  Store store;
  PreferenceDomains& domains = store.domains;
};

using Stores = ::testing::Types<FakeStore, LinuxStore>;
TYPED_TEST_SUITE(PreferenceDomainsContract, Stores);

TYPED_TEST(PreferenceDomainsContract, KeepsEachKindOfValueApart) {
  auto& domains = this->domains;
  EXPECT_FALSE(domains.value("d", "missing"));
  domains.setValue("d", "flag", true);
  domains.setValue("d", "count", 7);
  domains.setValue("d", "nits", 150.0);
  domains.setValue("d", "apps", PlistValue::array({"org.example.A"}));
  EXPECT_TRUE(domains.synchronize());
  EXPECT_TRUE(domains.value("d", "flag")->is_boolean());
  EXPECT_TRUE(domains.value("d", "count")->is_number_integer());
  EXPECT_TRUE(domains.value("d", "nits")->is_number_float()) << "a whole real stays real";
  EXPECT_EQ(*domains.value("d", "apps"), PlistValue::array({"org.example.A"}));
  EXPECT_FALSE(domains.value("other", "flag")) << "domains do not share keys";

  domains.removeValue("d", "count");
  EXPECT_FALSE(domains.value("d", "count"));
  EXPECT_TRUE(domains.value("d", "flag"));
}

TYPED_TEST(PreferenceDomainsContract, WholeDomainsAreReadReplacedAndRemoved) {
  auto& domains = this->domains;
  EXPECT_FALSE(domains.domain("d")) << "a domain never written does not exist";
  domains.setValue("d", "old", 1);
  domains.replaceDomain("d", PlistDictionary{{"setting", "off"}, {"fixedNits", 80.0}});
  auto whole = domains.domain("d");
  ASSERT_TRUE(whole);
  EXPECT_EQ(*whole, (PlistDictionary{{"setting", "off"}, {"fixedNits", 80.0}}));
  EXPECT_FALSE(domains.value("d", "old")) << "a replacement leaves nothing of the old contents";

  domains.removeDomain("d");
  EXPECT_TRUE(domains.synchronize());
  EXPECT_FALSE(domains.domain("d"));
  EXPECT_FALSE(domains.value("d", "setting"));
}

}  // namespace
