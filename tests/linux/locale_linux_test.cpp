#include "platform/linux_services/locale_linux.h"

#include <gtest/gtest.h>

namespace {

TEST(LinuxLocale, FormatsGroupedWithAtMostThreeFractionDigits) {
  LinuxLocale english("en_US");
  EXPECT_EQ(english.formatDecimal(12.5), "12.5");
  EXPECT_EQ(english.formatDecimal(1000), "1,000");
  EXPECT_EQ(english.formatDecimal(150), "150");
  EXPECT_EQ(english.formatDecimal(1234.5678), "1,234.568");
  EXPECT_EQ(english.formatDecimal(0.1 + 0.2), "0.3");
  EXPECT_EQ(english.formatDecimal(-2.25), "-2.25");
  EXPECT_EQ(english.formatDecimal(-0.0001), "0");
  EXPECT_EQ(english.formatDecimal(1234567), "1,234,567");

  LinuxLocale german("de_DE");
  EXPECT_EQ(german.formatDecimal(12.5), "12,5");
  EXPECT_EQ(german.formatDecimal(1000), "1.000");
  EXPECT_EQ(german.formatDecimal(1234.5), "1.234,5");
}

TEST(LinuxLocale, CutsAtUserPerceivedCharacters) {
  LinuxLocale locale("en_US");
  const std::string thumbWithSkinTone = "\U0001F44D\U0001F3FD";
  const std::string germanFlag = "\U0001F1E9\U0001F1EA";
  const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
  const std::string combinedE = "e\u0301";

  EXPECT_EQ(locale.prefixOfCharacters(thumbWithSkinTone + "abc", 1), thumbWithSkinTone);
  EXPECT_EQ(locale.prefixOfCharacters(germanFlag + "\U0001F1EB\U0001F1F7", 1), germanFlag);
  EXPECT_EQ(locale.prefixOfCharacters(family + "x", 1), family);
  EXPECT_EQ(locale.prefixOfCharacters(combinedE + "tude", 2), combinedE + "t");
  EXPECT_EQ(locale.prefixOfCharacters("short", 80), "short");
  EXPECT_EQ(locale.prefixOfCharacters("abc", 0), "");
  EXPECT_EQ(locale.prefixOfCharacters("", 3), "");
}

}  // namespace
