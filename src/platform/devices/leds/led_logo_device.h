// A light of the kernel's LED class driven as the logo. The tables and mode Halomark writes are
// kept in a state file per light, so the tool and the application read the same values back; each
// write recomputes the logo's brightness with the shared model at the panel's brightness and the
// ambient light, and sets the light to the matching level. The light's own brightness and trigger
// from before Halomark took it are kept there too, and put back when the logo is given back.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/devices/leds/led_writer.h"
#include "platform/devices/leds/logo_inputs.h"
#include "platform/interfaces/brightness_client.h"
#include "platform/interfaces/displays.h"
#include "platform/linux_utilities/locked_json_file.h"

class LedLogoDevice : public BrightnessClient, public LogoHardware, public DisplayBrightness {
 public:
  struct Config {
    std::filesystem::path sysRoot;
    // Where the per-light state files live (beside the emulated device's).
    std::string stateDirectory;
    DBusBuses buses;
    std::function<int()> openUevents;
    Scheduler& scheduler;
    // The light the user chose by name, if any; asked once, on first use.
    std::function<std::optional<std::string>()> chosenLight;
    std::function<double()> panelPeakNits;
  };

  explicit LedLogoDevice(Config config);

  // LogoHardware: present while the chosen light (else the first logo light) exists.
  bool hasLogoBacklight() override;
  std::vector<CandidateLight> lights() override;
  // How to get access, while the application's last write to the light was refused.
  std::optional<std::string> accessAdvice() override;
  std::optional<DrivenLight> drivenLight() override;

  // BrightnessClient: the three tables and the mode as stored (Halomark's defaults and mode 2 until
  // written); "LEPWMState" reads back the nits the light shows. Mode 1, which Halomark never
  // writes, stands for a light someone else changed since Halomark set it, so the watchdog
  // writes it again.
  bool exists() override;
  bool respondsToCopyProperty() override { return true; }
  std::optional<PlistValue> copyProperty(const std::string& key) override;
  // Tables are held until the mode is written; the mode then sets the light from them and stores
  // all of them in one change of the state file. False when the light cannot be written.
  std::optional<bool> setProperty(const PlistValue& value, const std::string& key) override;
  void giveBack() override;

  // DisplayBrightness: the built-in panel's backlight level. The light already follows every
  // write, so the nudge that follows one (the same level written back) changes nothing.
  bool load() override;
  std::int32_t get(DisplayID display, float& level) override;
  std::int32_t set(DisplayID display, float level) override;

  // Sets the light from the stored state and the inputs now; false when it cannot be written.
  bool drive();

 private:
  std::optional<CandidateLight> light();
  LockedJsonFile& stateFile(const std::string& name);
  PlistDictionary state(const std::string& name);
  double finalNits(const PlistDictionary& state);
  // Sets the light from the stored state with `changes` over it, and stores the changes with what
  // the write found out, in one change of the state file.
  bool driveWith(const CandidateLight& light, const PlistDictionary& changes);
  bool takeAndWrite(const CandidateLight& light, long long level, const PlistDictionary& full,
                    const PlistDictionary& changes);

  Config config_;
  LedWriter writer_;
  LogoInputs inputs_;
  std::optional<std::string> name_;
  bool resolved_ = false;
  std::optional<LockedJsonFile> file_;
  // Tables written since the last mode write, by key.
  PlistDictionary heldTables_;
  // The first write of a process always goes to the light: it is what proves access.
  bool accessProven_ = false;
};
