#include "menubar/contrast.h"

#include <gtest/gtest.h>

namespace {

using Contrast::Rgb;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

TEST(Contrast, RatiosMatchTheGuidelinesFigures) {
  EXPECT_NEAR(Contrast::ratio(kWhite, kBlack), 21.0, 1e-9);
  EXPECT_NEAR(Contrast::ratio(kBlack, kWhite), 21.0, 1e-9) << "order does not matter";
  // The grey that is said to reach 4.5:1 on white just does; the disabled grey of a menu does not.
  EXPECT_NEAR(Contrast::ratio({0x76, 0x76, 0x76}, kWhite), 4.54, 0.01);
  EXPECT_NEAR(Contrast::ratio({0xbe, 0xbe, 0xbe}, kWhite), 1.86, 0.01);
}

TEST(Contrast, TheNeutralInkStandsOnBlackAndOnWhite) {
  EXPECT_GE(Contrast::ratio(Contrast::kNeutralInk, kBlack), Contrast::kShape);
  EXPECT_GE(Contrast::ratio(Contrast::kNeutralInk, kWhite), Contrast::kShape);
}

TEST(Contrast, AnIconGetsLightInkOnDarkPanelsAndDarkInkOnLightOnes) {
  // Xfce's dark panel, a black bar, trayer's light grey, white, and mid greys either side.
  for (Rgb panel : {Rgb{0x3c, 0x3c, 0x3c}, kBlack, Rgb{0xdc, 0xdc, 0xdc}, kWhite, Rgb{0x70, 0x70, 0x70},
                    Rgb{0xa0, 0xa0, 0xa0}, Rgb{0x35, 0x84, 0xe4}}) {
    Rgb ink = Contrast::inkFor(panel);
    EXPECT_GE(Contrast::ratio(ink, panel), Contrast::kShape)
        << int(panel.r) << "," << int(panel.g) << "," << int(panel.b);
  }
  EXPECT_GE(Contrast::ratio(Contrast::inkFor({0x3c, 0x3c, 0x3c}), {0x3c, 0x3c, 0x3c}), 7.0);
  EXPECT_GT(Contrast::luminance(Contrast::inkFor(kBlack)), 0.5);
  EXPECT_LT(Contrast::luminance(Contrast::inkFor(kWhite)), 0.5);
}

TEST(Contrast, ASecondaryColourIsQuieterThanTheTextButStillReadable) {
  for (auto [text, background] :
       {std::pair{kBlack, kWhite}, std::pair{Rgb{0xee, 0xee, 0xee}, Rgb{0x2b, 0x2b, 0x2b}}}) {
    Rgb quiet = Contrast::secondary(text, background);
    EXPECT_GE(Contrast::ratio(quiet, background), Contrast::kText);
    EXPECT_LT(Contrast::ratio(quiet, background), Contrast::ratio(text, background));
  }
  // Text that already falls short is not made fainter still.
  Rgb faint{0xbe, 0xbe, 0xbe};
  EXPECT_EQ(Contrast::secondary(faint, kWhite), faint);
}

TEST(Contrast, AVisibleShadeStandsThreeToOneAndNoMore) {
  for (Rgb background : {kWhite, Rgb{0xef, 0xef, 0xef}, Rgb{0x24, 0x24, 0x24}}) {
    Rgb text = Contrast::inkFor(background);
    Rgb shade = Contrast::visibleShade(text, background);
    EXPECT_GE(Contrast::ratio(shade, background), Contrast::kShape);
    EXPECT_LT(Contrast::ratio(shade, background), 3.5) << "as quiet as it can be";
  }
}

TEST(Contrast, AnEmphasisedColourKeepsItsHueAndStandsOut) {
  Rgb green{52, 199, 89};
  Rgb onWhite = Contrast::emphasised(green, kWhite);
  EXPECT_GE(Contrast::ratio(onWhite, kWhite), Contrast::kShape);
  EXPECT_GT(onWhite.g, onWhite.r) << "still green";
  EXPECT_GT(onWhite.g, onWhite.b);
  // On a dark menu the green already stands out and is left as it is.
  EXPECT_EQ(Contrast::emphasised(green, {0x2b, 0x2b, 0x2b}), green);
}

TEST(Contrast, OverCompositesByOpacity) {
  EXPECT_EQ(Contrast::over(kBlack, 0.5, kWhite), (Rgb{128, 128, 128}));
  EXPECT_EQ(Contrast::over(kBlack, 0, kWhite), kWhite);
  EXPECT_EQ(Contrast::over(kBlack, 1, kWhite), kBlack);
}

}  // namespace
