// The emulated logo device: the platform's brightness service, the logo hardware and the built-in
// display's brightness, kept in one JSON state file that every process of the user shares. The
// device is present exactly while its state file exists.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "formats/failure.h"
#include "platform/interfaces/brightness_client.h"
#include "platform/interfaces/displays.h"
#include "platform/linux_utilities/locked_json_file.h"

class EmulatedLogoDevice : public BrightnessClient, public LogoHardware, public DisplayBrightness {
 public:
  using Change = std::function<void(PlistDictionary& state)>;

  explicit EmulatedLogoDevice(std::string statePath);
  // logo-device.json in Halomark's private folder (PrivateFolder::halomarkFolder).
  static std::string defaultStatePath();

  const std::string& statePath() const { return file_.path(); }

  // Management by the companion tool and tests; each returns the error text on failure.
  // Creates the device afresh in its initial state, then applies `configure`.
  Failure create(const Change& configure = {});
  // Changes the state of an existing device.
  Failure modify(const Change& change);
  Failure remove();
  // The stored state; none when the device is absent.
  std::optional<PlistDictionary> state();

  // LogoHardware: the device is the logo itself, always writable while it exists.
  bool hasLogoBacklight() override;
  std::vector<CandidateLight> lights() override { return {}; }
  std::optional<std::string> accessAdvice() override { return std::nullopt; }
  std::optional<DrivenLight> drivenLight() override;

  // BrightnessClient: the three tables and "LEBacklightMode" as stored, "LEPWMState" computed.
  bool exists() override;
  bool respondsToCopyProperty() override;
  std::optional<PlistValue> copyProperty(const std::string& key) override;
  // Tables must be arrays of rows of numbers and the mode 0, 1 or 2; anything else is refused.
  // Tables are held until the mode is written; the state file then takes both in one locked change.
  std::optional<bool> setProperty(const PlistValue& value, const std::string& key) override;
  // The emulated service drives the logo from its tables by itself: nothing to hand back.
  void giveBack() override {}

  // DisplayBrightness: the built-in display's level 0...1 (the device has one display). Writing back
  // the level just read changes nothing and leaves the state file alone.
  bool load() override;
  std::int32_t get(DisplayID display, float& level) override;
  std::int32_t set(DisplayID display, float level) override;

 private:
  LockedJsonFile file_;
  // Tables written since the last mode write, by key.
  PlistDictionary heldTables_;
};
