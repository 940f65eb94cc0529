#include "menubar/contrast.h"

#include <algorithm>
#include <cmath>

namespace Contrast {

namespace {

constexpr Rgb kLightInk{0xf2, 0xf2, 0xf2};
constexpr Rgb kDarkInk{0x1c, 0x1c, 0x1c};

double linear(std::uint8_t channel) {
  double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::uint8_t mixChannel(std::uint8_t from, std::uint8_t to, double share) {
  return static_cast<std::uint8_t>(std::lround(from + (to - from) * share));
}

Rgb mix(Rgb from, Rgb to, double share) {
  return {mixChannel(from.r, to.r, share), mixChannel(from.g, to.g, share), mixChannel(from.b, to.b, share)};
}

// The largest share of `towards` mixed into `from` (in steps of 1/64) that keeps `minimum` against
// `background`; 0 when none does.
double furthestMix(Rgb from, Rgb towards, Rgb background, double minimum) {
  double best = 0;
  for (int step = 1; step <= 64; ++step) {
    double share = step / 64.0;
    if (ratio(mix(from, towards, share), background) < minimum) break;
    best = share;
  }
  return best;
}

}  // namespace

double luminance(Rgb colour) {
  return 0.2126 * linear(colour.r) + 0.7152 * linear(colour.g) + 0.0722 * linear(colour.b);
}

double ratio(Rgb a, Rgb b) {
  double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb over(Rgb top, double alpha, Rgb bottom) { return mix(bottom, top, std::clamp(alpha, 0.0, 1.0)); }

Rgb inkFor(Rgb background) {
  return ratio(kLightInk, background) >= ratio(kDarkInk, background) ? kLightInk : kDarkInk;
}

Rgb secondary(Rgb text, Rgb background, double minimum) {
  if (ratio(text, background) < minimum) return text;
  return mix(text, background, furthestMix(text, background, background, minimum));
}

Rgb visibleShade(Rgb foreground, Rgb background, double minimum) {
  if (ratio(foreground, background) < minimum) return foreground;
  // From the background towards the foreground, the first shade that stands out enough.
  for (int step = 1; step <= 64; ++step) {
    Rgb shade = mix(background, foreground, step / 64.0);
    if (ratio(shade, background) >= minimum) return shade;
  }
  return foreground;
}

Rgb emphasised(Rgb colour, Rgb background, double minimum) {
  Rgb extreme = luminance(background) > 0.18 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
  for (int step = 0; step <= 64; ++step) {
    Rgb shade = mix(colour, extreme, step / 64.0);
    if (ratio(shade, background) >= minimum) return shade;
  }
  return extreme;
}

}  // namespace Contrast
