#include "menubar/slider_scale.h"

#include <algorithm>
#include <cmath>

#include "prefs/setting.h"

namespace SliderScale {

namespace {
constexpr double kRange = 80;  // kMaxNits / kMinNits
}

double position(double storedNits) {
  double n = storedNits > 0 ? storedNits : kDefaultFixedNits;
  return std::clamp(std::log(n / kMinNits) / std::log(kRange), 0.0, 1.0);
}

double nits(double position) {
  return std::round(kMinNits * std::pow(kRange, std::clamp(position, 0.0, 1.0)));
}

double stepped(double storedNits, int steps) {
  double from = std::round(storedNits > 0 ? storedNits : kDefaultFixedNits);
  return std::clamp(from + steps, nits(0), nits(1));
}

double paged(double storedNits, int pages) {
  double from = std::round(storedNits > 0 ? storedNits : kDefaultFixedNits);
  double to = nits(position(from) + pages * 0.1);
  if (to == from) return stepped(from, pages);
  return to;
}

}  // namespace SliderScale
