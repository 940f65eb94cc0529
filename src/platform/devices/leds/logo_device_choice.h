// The logo device the product talks to: the emulated device while its state file exists (tests
// and demonstrations stay as they are), else the light of the kernel's LED class.
#pragma once

#include "platform/devices/emulated/emulated_logo_device.h"
#include "platform/devices/leds/led_logo_device.h"
#include "platform/interfaces/brightness_client.h"
#include "platform/interfaces/displays.h"

class LogoDeviceChoice : public BrightnessClient, public LogoHardware, public DisplayBrightness {
 public:
  LogoDeviceChoice(EmulatedLogoDevice& emulated, LedLogoDevice& light);

  bool hasLogoBacklight() override;
  // The lights Halomark sees, none in use while the emulated device stands in.
  std::vector<CandidateLight> lights() override;
  std::optional<std::string> accessAdvice() override;
  std::optional<DrivenLight> drivenLight() override;

  bool exists() override;
  bool respondsToCopyProperty() override;
  std::optional<PlistValue> copyProperty(const std::string& key) override;
  std::optional<bool> setProperty(const PlistValue& value, const std::string& key) override;
  void giveBack() override;

  bool load() override;
  std::int32_t get(DisplayID display, float& level) override;
  std::int32_t set(DisplayID display, float level) override;

 private:
  bool emulating() { return emulated_.exists(); }

  EmulatedLogoDevice& emulated_;
  LedLogoDevice& light_;
};
