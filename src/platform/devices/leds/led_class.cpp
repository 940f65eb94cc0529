#include "platform/devices/leds/led_class.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include <fnmatch.h>

#include "platform/devices/leds/logo_led_names.h"
#include "platform/linux_utilities/sysfs_read.h"

namespace fs = std::filesystem;

namespace {

constexpr double kFullRangeNits = 1000;

}  // namespace

namespace LedClass {

fs::path directory(const fs::path& sysRoot, const std::string& name) { return sysRoot / "class/leds" / name; }

bool namesLogo(const std::string& name) {
  return std::any_of(std::begin(LogoLedNames::kPatterns), std::end(LogoLedNames::kPatterns),
                     [&](const char* pattern) { return ::fnmatch(pattern, name.c_str(), 0) == 0; });
}

std::vector<CandidateLight> list(const fs::path& sysRoot) {
  std::vector<CandidateLight> lights;
  // A listing that fails lists nothing: no light, with the usual fallbacks, rather than an abort.
  for (const auto& entry : Sysfs::entries(sysRoot / "class/leds")) {
    if (auto light = find(sysRoot, entry.filename().string())) lights.push_back(*light);
  }
  std::sort(lights.begin(), lights.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  return lights;
}

std::optional<CandidateLight> find(const fs::path& sysRoot, const std::string& name) {
  auto maxBrightness = Sysfs::readInteger(directory(sysRoot, name) / "max_brightness");
  if (!maxBrightness || *maxBrightness <= 0) return std::nullopt;
  return CandidateLight{name, *maxBrightness, namesLogo(name), false};
}

std::optional<CandidateLight> choose(const std::vector<CandidateLight>& lights,
                                     const std::optional<std::string>& chosen) {
  auto found = std::find_if(lights.begin(), lights.end(), [&](const CandidateLight& light) {
    return chosen ? light.name == *chosen : light.namesLogo;
  });
  if (found == lights.end()) return std::nullopt;
  return *found;
}

std::optional<long long> brightness(const fs::path& sysRoot, const std::string& name) {
  return Sysfs::readInteger(directory(sysRoot, name) / "brightness");
}

std::optional<std::string> activeTrigger(const fs::path& sysRoot, const std::string& name) {
  auto line = Sysfs::readLine(directory(sysRoot, name) / "trigger");
  if (!line) return std::nullopt;
  auto open = line->find('[');
  auto close = line->find(']', open);
  if (open == std::string::npos || close == std::string::npos) return std::nullopt;
  return line->substr(open + 1, close - open - 1);
}

long long levelFor(double nits, long long maxBrightness) {
  if (!(nits > 0) || maxBrightness <= 0) return 0;
  if (maxBrightness == 1) return 1;
  // Clamped while still a double: the largest levels do not fit a long long once rounded.
  double scaled = std::min(nits, kFullRangeNits) / kFullRangeNits * static_cast<double>(maxBrightness);
  if (scaled >= static_cast<double>(maxBrightness)) return maxBrightness;
  return std::clamp<long long>(std::llround(scaled), 1, maxBrightness);
}

double nitsFor(long long level, long long maxBrightness) {
  if (maxBrightness <= 0 || level <= 0) return 0;
  return static_cast<double>(std::min(level, maxBrightness)) / static_cast<double>(maxBrightness) *
         kFullRangeNits;
}

}  // namespace LedClass
