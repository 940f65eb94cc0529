// The platform's display-brightness service that holds the logo's tables, mode and live state.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/plist_value.h"

class BrightnessClient {
 public:
  virtual ~BrightnessClient() = default;
  // False when no client object could be created.
  virtual bool exists() = 0;
  virtual bool respondsToCopyProperty() = 0;
  // The property's value, or none.
  virtual std::optional<PlistValue> copyProperty(const std::string& key) = 0;
  // None when the client has no way to set properties; otherwise the service's answer. Every writer
  // writes the mode ("LEBacklightMode") after the tables it goes with, so a service may hold table
  // writes (reading them back at once) and take them to the device together with the next mode
  // write, as one change.
  virtual std::optional<bool> setProperty(const PlistValue& value, const std::string& key) = 0;
  // The logo goes back to whoever drove it before Halomark: a service that keeps driving it from
  // its tables needs nothing more; a light Halomark drives itself gets its earlier state back.
  virtual void giveBack() = 0;
};

// A light that can serve as the logo, as the user may choose among them.
struct CandidateLight {
  std::string name;
  long long maxBrightness = 0;  // 1: on/off only
  bool namesLogo = false;       // its function names a logo
  bool inUse = false;           // the light Halomark drives
};

// The light written as the logo: the emulated device, or a light of the kernel's LED class.
struct DrivenLight {
  bool emulated = false;
  std::string name;  // the LED's name; empty for the emulated device
  bool operator==(const DrivenLight&) const = default;
};

// Whether the machine has logo backlight hardware at all, and which lights could be the logo.
class LogoHardware {
 public:
  virtual ~LogoHardware() = default;
  virtual bool hasLogoBacklight() = 0;
  // Every light the machine offers, by name; empty where the logo is not a general-purpose light.
  virtual std::vector<CandidateLight> lights() = 0;
  // How the user can let Halomark write the logo light when it cannot; none when it can.
  virtual std::optional<std::string> accessAdvice() = 0;
  // The light Halomark writes as the logo; none while there is none.
  virtual std::optional<DrivenLight> drivenLight() = 0;
};
