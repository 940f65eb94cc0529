// How the platform's logo service turns its tables, mode and multiplier, the display's brightness
// and the ambient light into the logo's brightness. Every logo device computes it here, so an
// emulated logo and a real light show the same nits for the same state.
#pragma once

#include "formats/plist_value.h"

namespace LogoServiceModel {

// What a device assumes while it cannot measure: the display at half of a 500-nit panel, 100 lux.
inline constexpr double kDefaultDisplayLevel = 0.5;
inline constexpr double kDefaultPanelPeakNits = 500;
inline constexpr double kDefaultAmbientLux = 100;
inline constexpr const char* kMultiplierKey = "NitsMultiplier";

// An array of rows, each an array of at least two finite numbers; an empty table is valid.
bool isTable(const PlistValue& value);
// The table with every number stored as a real.
PlistValue normalizedTable(const PlistValue& value);
// The modes the service accepts: the integers 0, 1 and 2.
bool isMode(const PlistValue& value);

// `state` holds the three tables, "LEBacklightMode" and optionally "NitsMultiplier". Mode 0 (or
// none) gives 0 nits; otherwise the mapping at the display's nits, times the multiplier, held
// between the restrictions at the ambient light.
double finalNits(const PlistDictionary& state, double displayNits, double ambientLux);

// Whether a change of the display's brightness, or of the ambient light, can change `finalNits`:
// a lit logo whose mapping (past its zero row) or whose restrictions are not flat.
bool followsDisplay(const PlistDictionary& state);
bool followsAmbientLight(const PlistDictionary& state);

}  // namespace LogoServiceModel
