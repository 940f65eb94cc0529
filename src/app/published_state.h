// What the running application publishes of its state, as the read-only properties of its
// logo-light bus object: the stored setting, the rule holding the logo off or dimming it, the
// logo's brightness now and the attention signal. Those who follow them (panels, scripts, the
// tool's followed status) are told once per real change.
#pragma once

#include <optional>

#include "formats/plist_value.h"

class AppDelegate;

namespace PublishedState {

// Property names, as they appear on the bus.
inline constexpr const char* kSetting = "Setting";              // "automatic", "fixed" or "off"
inline constexpr const char* kFixedNits = "FixedNits";          // the fixed brightness, stored or last
inline constexpr const char* kLogoNits = "LogoNits";            // the brightness now; -1 when unknown
inline constexpr const char* kHeldOffReason = "HeldOffReason";  // empty while no rule holds it off
inline constexpr const char* kDimmedReason = "DimmedReason";    // empty while no rule dims it
inline constexpr const char* kSignaling = "Signaling";
inline constexpr const char* kSignalMessage = "SignalMessage";  // empty without a signal or message
inline constexpr const char* kSignalStyle = "SignalStyle";      // the running signal's raw style, or empty

// The properties now, from the application's current look at the machine (the snapshot an apply
// has just taken, while the refresh that ends it runs).
PlistDictionary of(AppDelegate& delegate);

// The entries of `now` that differ from `before`: all of them when nothing was published yet.
PlistDictionary changes(const std::optional<PlistDictionary>& before, const PlistDictionary& now);

}  // namespace PublishedState
