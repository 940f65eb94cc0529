#include "platform/devices/leds/logo_device_choice.h"

LogoDeviceChoice::LogoDeviceChoice(EmulatedLogoDevice& emulated, LedLogoDevice& light)
    : emulated_(emulated), light_(light) {}

bool LogoDeviceChoice::hasLogoBacklight() {
  return emulating() ? emulated_.hasLogoBacklight() : light_.hasLogoBacklight();
}

std::vector<CandidateLight> LogoDeviceChoice::lights() {
  auto all = light_.lights();
  if (emulating()) {
    for (auto& each : all) each.inUse = false;
  }
  return all;
}

std::optional<std::string> LogoDeviceChoice::accessAdvice() {
  return emulating() ? emulated_.accessAdvice() : light_.accessAdvice();
}

std::optional<DrivenLight> LogoDeviceChoice::drivenLight() {
  return emulating() ? emulated_.drivenLight() : light_.drivenLight();
}

bool LogoDeviceChoice::exists() { return emulating() || light_.exists(); }

bool LogoDeviceChoice::respondsToCopyProperty() {
  return emulating() ? emulated_.respondsToCopyProperty() : light_.respondsToCopyProperty();
}

std::optional<PlistValue> LogoDeviceChoice::copyProperty(const std::string& key) {
  return emulating() ? emulated_.copyProperty(key) : light_.copyProperty(key);
}

std::optional<bool> LogoDeviceChoice::setProperty(const PlistValue& value, const std::string& key) {
  return emulating() ? emulated_.setProperty(value, key) : light_.setProperty(value, key);
}

void LogoDeviceChoice::giveBack() { emulating() ? emulated_.giveBack() : light_.giveBack(); }

bool LogoDeviceChoice::load() { return emulating() ? emulated_.load() : light_.load(); }

std::int32_t LogoDeviceChoice::get(DisplayID display, float& level) {
  return emulating() ? emulated_.get(display, level) : light_.get(display, level);
}

std::int32_t LogoDeviceChoice::set(DisplayID display, float level) {
  return emulating() ? emulated_.set(display, level) : light_.set(display, level);
}
