#include "updates/version_compare.h"

#include <gtest/gtest.h>

namespace {

using Versions::compare;

TEST(VersionCompareTest, NumbersCompareNumericallyComponentByComponent) {
  EXPECT_LT(compare("1.9", "1.10"), 0);
  EXPECT_GT(compare("2.0", "1.99.99"), 0);
  EXPECT_EQ(compare("1.2.3", "1.2.3"), 0);
  EXPECT_LT(compare("27", "28"), 0);
  EXPECT_GT(compare("100", "99"), 0);
  EXPECT_EQ(compare("01.2", "1.02"), 0);
}

TEST(VersionCompareTest, MissingTrailingZerosAreEqualAndExtraNumbersAreNewer) {
  EXPECT_EQ(compare("1.0", "1.0.0"), 0);
  EXPECT_EQ(compare("1.0.0", "1"), 0);
  EXPECT_GT(compare("1.0.1", "1.0"), 0);
  EXPECT_LT(compare("1.0", "1.0.0.1"), 0);
}

TEST(VersionCompareTest, ReleasesBeatTheirPreReleasesAndLettersCompareAsText) {
  EXPECT_GT(compare("1.0", "1.0b1"), 0);
  EXPECT_LT(compare("1.0b1", "1.0"), 0);
  EXPECT_LT(compare("1.0a2", "1.0b1"), 0);
  EXPECT_LT(compare("1.0b2", "1.0b10"), 0);
  EXPECT_GT(compare("1.0.1", "1.0b5"), 0);
  EXPECT_LT(compare("1.0B1", "1.0b1"), 0);
  EXPECT_EQ(compare("2.1-linux", "2.1"), 0);
}

TEST(VersionCompareTest, OnlyPlausibleVersionsAreAccepted) {
  for (const char* good : {"1", "1.4", "1.0b3", "2.0.0-rc1", "3.1 beta_2+git"})
    EXPECT_TRUE(Versions::isPlausible(good)) << good;
  for (const char* bad :
       {"", "beta", "...", "1.0\n", "1.0;rm", "12 (beta)", "1.\xC3\xA9", "1234567890123456789"})
    EXPECT_FALSE(Versions::isPlausible(bad)) << bad;
  EXPECT_TRUE(Versions::isPlausible("123456789012345678"));
  EXPECT_FALSE(Versions::isPlausible(std::string(65, '1')));
}

}  // namespace
