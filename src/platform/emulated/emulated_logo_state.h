// The emulated logo device's state: what a new device starts with, which values its service
// accepts, and the live logo state computed from the tables the way the platform's service does.
#pragma once

#include "platform/plist_value.h"

namespace EmulatedLogoState {

// Keys of the state file besides the three tables, "LEBacklightMode" and "NitsMultiplier".
inline constexpr const char* kDisplayLevel = "displayBrightness";  // 0...1
inline constexpr const char* kDisplayMaxNits = "displayMaxNits";   // the panel's brightest
inline constexpr const char* kAmbientLux = "ambientLux";
// While true the mode stays what it is whatever is written (a service that misbehaves).
inline constexpr const char* kModeStuck = "modeStuck";
inline constexpr const char* kMultiplier = "NitsMultiplier";

// A device as the platform leaves it: its own tables (unlike the product's built-in defaults),
// table-driven mode, multiplier 1, the display at half of 500 nits, 100 lux around it.
PlistDictionary initial();

// An array of rows, each an array of at least two finite numbers; an empty table is valid.
bool isTable(const PlistValue& value);
// The table with every number stored as a real.
PlistValue normalizedTable(const PlistValue& value);
// The modes the service accepts: the integers 0, 1 and 2.
bool isMode(const PlistValue& value);

// The display's brightness in nits: its level times the panel's maximum.
double displayNits(const PlistDictionary& state);
// "LEPWMState": {"NitsMultiplier", "FinalNits"}. Mode 0 gives 0 nits; otherwise the mapping at the
// display's nits, times the multiplier, held between the restrictions at the ambient light.
PlistDictionary pwmState(const PlistDictionary& state);

}  // namespace EmulatedLogoState
