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

}  // namespace SliderScale
