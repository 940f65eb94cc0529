#include "automation/power_state.h"

#include <cmath>

namespace Power {

namespace {

// Generous: the rule only needs to know whether a second, non-built-in display exists.
constexpr std::size_t kMaxDisplays = 32;
// The range of a signed 64-bit percentage, both bounds exact as doubles.
constexpr double kMinPercent = -9223372036854775808.0;
constexpr double kMaxPercentExclusive = 9223372036854775808.0;

// Read as a double, so that unsigned values beyond the signed range keep their size.
std::optional<double> integerAt(const PlistValue& dictionary, const char* key) {
  auto found = dictionary.find(key);
  if (found == dictionary.end() || !found->is_number_integer()) return std::nullopt;
  return found->get<double>();
}

std::optional<std::int64_t> internalBatteryPercent(const PlistValue& description) {
  if (!description.is_object()) return std::nullopt;
  auto type = description.find("Type");
  if (type == description.end() || !type->is_string() || type->get<std::string>() != "InternalBattery") {
    return std::nullopt;
  }
  auto current = integerAt(description, "Current Capacity");
  auto maximum = integerAt(description, "Max Capacity");
  if (!current || !maximum || *maximum < 1) return std::nullopt;
  double percent = std::round(*current / *maximum * 100.0);
  // A reading too large for the percentage is garbage, not a charge.
  if (!(percent >= kMinPercent && percent < kMaxPercentExclusive)) return std::nullopt;
  return static_cast<std::int64_t>(percent);
}

void samplePowerSources(PowerSources& sources, State& state) {
  auto snapshot = sources.snapshot();
  if (!snapshot) return;
  state.onBattery = snapshot->providingSourceType == "Battery Power";
  for (const auto& description : snapshot->sources) {
    // A later internal battery that yields a value replaces an earlier one.
    if (auto percent = internalBatteryPercent(description)) state.percent = percent;
  }
}

std::map<std::string, std::string> runningApps(Workspace& workspace) {
  std::map<std::string, std::string> apps;
  for (const auto& app : workspace.runningApplications()) {
    if (app.terminated || !app.bundleIdentifier) continue;
    apps[*app.bundleIdentifier] = app.localizedName.value_or(*app.bundleIdentifier);
  }
  return apps;
}

}  // namespace

State current(Platform& platform, bool applications) {
  State state;
  samplePowerSources(platform.powerSources, state);
  if (applications) {
    state.runningApps = runningApps(platform.workspace);
    if (auto front = platform.workspace.frontmostApplication())
      state.frontmostBundleID = front->bundleIdentifier;
  }
  state.lowPowerMode = platform.powerSources.lowPowerModeEnabled();
  state.screenLocked = screenLocked(platform);
  state.externalDisplayConnected = hasExternalDisplay(platform);
  return state;
}

bool screenLocked(Platform& platform) {
  auto dictionary = platform.session.sessionDictionary();
  if (!dictionary || !dictionary->is_object()) return false;
  auto value = dictionary->find("CGSSessionScreenIsLocked");
  if (value == dictionary->end()) return false;
  if (value->is_boolean()) return value->get<bool>();
  if (value->is_number_integer()) return value->get<std::int64_t>() == 1;
  return false;
}

bool hasExternalDisplay(Platform& platform) {
  auto online = platform.displays.onlineDisplays(kMaxDisplays);
  if (!online || online->size() < 2) return false;
  for (auto display : *online) {
    if (!platform.displays.isBuiltIn(display)) return true;
  }
  return false;
}

std::string appDisplayName(const std::string& bundleIdentifier, Platform& platform) {
  if (auto path = platform.workspace.applicationPath(bundleIdentifier)) {
    std::string name = platform.workspace.displayName(*path);
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".app") == 0) name.resize(name.size() - 4);
    return name;
  }
  std::string last;
  std::size_t start = 0;
  while (start <= bundleIdentifier.size()) {
    std::size_t dot = bundleIdentifier.find('.', start);
    if (dot == std::string::npos) dot = bundleIdentifier.size();
    if (dot > start) last = bundleIdentifier.substr(start, dot - start);
    start = dot + 1;
  }
  return last.empty() ? bundleIdentifier : last;
}

}  // namespace Power
