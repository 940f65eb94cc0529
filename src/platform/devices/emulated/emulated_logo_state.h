// The emulated logo device's state: what a new device starts with, which values its service
// accepts, and the live logo state computed from the tables the way the platform's service does.
#pragma once

#include "formats/plist_value.h"
#include "platform/devices/logo_model/logo_service_model.h"

namespace EmulatedLogoState {

// Keys of the state file besides the three tables, "LEBacklightMode" and "NitsMultiplier".
inline constexpr const char* kDisplayLevel = "displayBrightness";  // 0...1
inline constexpr const char* kDisplayMaxNits = "displayMaxNits";   // the panel's brightest
inline constexpr const char* kAmbientLux = "ambientLux";
// While true the mode stays what it is whatever is written (a service that misbehaves).
inline constexpr const char* kModeStuck = "modeStuck";
inline constexpr const char* kMultiplier = LogoServiceModel::kMultiplierKey;

// A device as the platform leaves it: its own tables (unlike the product's built-in defaults),
// table-driven mode, multiplier 1, the display at half of 500 nits, 100 lux around it.
PlistDictionary initial();

// The display's brightness in nits: its level times the panel's maximum.
double displayNits(const PlistDictionary& state);
// "LEPWMState": {"NitsMultiplier", "FinalNits"}, the final nits computed by the shared model at the
// device's display brightness and ambient light.
PlistDictionary pwmState(const PlistDictionary& state);

}  // namespace EmulatedLogoState
