// Colour contrast as the accessibility guidelines measure it (relative luminance of sRGB, ratio
// (L1 + 0.05) / (L2 + 0.05)), and the inks the tray icon, the popup's status line and the switches
// need to stand out against what lies behind them. Text wants 4.5:1, shapes 3:1.
#pragma once

#include <cstdint>

namespace Contrast {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr double kText = 4.5;
inline constexpr double kShape = 3.0;

// A grey that stands 3:1 or more against black and against white alike: the ink for a panel whose
// colour cannot be known.
inline constexpr Rgb kNeutralInk{0x80, 0x80, 0x80};

double luminance(Rgb colour);
double ratio(Rgb a, Rgb b);
// `top` at opacity `alpha` (0...1) painted over `bottom`.
Rgb over(Rgb top, double alpha, Rgb bottom);

// The ink for a monochrome icon on `background`: near-white on a dark one, near-black on a light
// one, whichever stands out more.
Rgb inkFor(Rgb background);

// `text` moved towards `background` (a quieter, secondary colour) only as far as it still reads at
// `minimum`; `text` itself when even it falls short.
Rgb secondary(Rgb text, Rgb background, double minimum = kText);

// `foreground` mixed into `background` just far enough to stand `minimum` against it: the off track
// of a switch, visible but quieter than the text.
Rgb visibleShade(Rgb foreground, Rgb background, double minimum = kShape);

// `colour` deepened towards the ink that stands out on `background` (black on light, white on dark)
// just far enough to stand `minimum` against it; the hue stays. The on track of a switch.
Rgb emphasised(Rgb colour, Rgb background, double minimum = kShape);

}  // namespace Contrast
