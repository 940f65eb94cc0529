#include "logo/logo_controller.h"

namespace {
constexpr std::size_t kMaxDisplays = 16;
}

BrightnessTable LogoController::flatMapping(double nits) { return {{0, 0}, {0.1, nits}, {fltMax, nits}}; }

BrightnessTable LogoController::flatRestriction(double nits) { return {{0, nits}, {fltMax, nits}}; }

LogoController::LogoController(BrightnessClient& client, LogoHardware& hardware,
                               DisplayBrightness& displayBrightness, Displays& displays)
    : client_(client), hardware_(hardware), displayBrightness_(displayBrightness), displays_(displays) {}

LogoController::LogoController(Platform& platform)
    : LogoController(platform.brightness, platform.logoHardware, platform.displayBrightness,
                     platform.displays) {}

std::optional<PlistValue> LogoController::copy(const std::string& key) {
  if (!client_.exists() || !client_.respondsToCopyProperty()) return std::nullopt;
  auto value = client_.copyProperty(key);
  if (!value || value->is_null()) return std::nullopt;
  return value;
}

bool LogoController::isAvailable() { return copy(kStateKey).has_value(); }

std::optional<BrightnessTable> LogoController::table(const std::string& key) {
  auto value = copy(key);
  if (!value) return std::nullopt;
  return tableFromPlist(*value);
}

void LogoController::setTable(const std::string& key, const BrightnessTable& table) {
  setProperty(plistFromTable(table), key);
}

bool LogoController::setProperty(const PlistValue& value, const std::string& key) {
  if (!client_.exists()) return false;
  return client_.setProperty(value, key).value_or(false);
}

bool LogoController::setMode(Mode mode) { return setProperty(static_cast<int>(mode), kBacklightModeKey); }

std::optional<LogoController::Mode> LogoController::mode() {
  auto value = copy(kBacklightModeKey);
  if (!value || !value->is_number()) return std::nullopt;
  double number = value->get<double>();
  if (number != 0 && number != 1 && number != 2) return std::nullopt;
  return static_cast<Mode>(static_cast<int>(number));
}

std::optional<double> LogoController::stateValue(const std::string& member) {
  auto state = copy(kStateKey);
  if (!state || !state->is_object()) return std::nullopt;
  auto found = state->find(member);
  if (found == state->end() || !found->is_number()) return std::nullopt;
  return found->get<double>();
}

double LogoController::scaled(double nits) {
  auto multiplier = stateValue("NitsMultiplier");
  return (multiplier && *multiplier > 0) ? nits / *multiplier : nits;
}

std::optional<DisplayID> LogoController::builtInDisplay() {
  auto online = displays_.onlineDisplays(kMaxDisplays);
  if (!online) return std::nullopt;
  std::size_t count = std::min(online->size(), kMaxDisplays);
  for (std::size_t i = 0; i < count; ++i) {
    if (displays_.isBuiltIn((*online)[i])) return (*online)[i];
  }
  return std::nullopt;
}

bool LogoController::displayServicesAvailable() {
  if (!displayServices_) displayServices_ = displayBrightness_.load();
  return *displayServices_;
}

LogoController::Compatibility LogoController::checkCompatibility() {
  if (!hardware_.hasLogoBacklight()) return Compatibility::noLogoHardware;
  if (!isAvailable()) return Compatibility::controlsMissing;
  auto before = mode();
  if (!before) return Compatibility::controlsMissing;
  for (const auto& key : kTableKeys) {
    if (!table(key)) return Compatibility::controlsMissing;
  }
  if (!setMode(*before)) return Compatibility::controlsMissing;
  if (mode() != before) return Compatibility::controlsMissing;
  return Compatibility::ok;
}

void LogoController::giveBack() { client_.giveBack(); }

void LogoController::nudgeDisplayBrightness() {
  if (!displayServicesAvailable()) return;
  auto display = builtInDisplay();
  if (!display) return;
  float level = 0;
  if (displayBrightness_.get(*display, level) != 0) return;
  displayBrightness_.set(*display, level);
}
