// The platform's display-brightness service that holds the logo's tables, mode and live state.
#pragma once

#include <optional>
#include <string>

#include "platform/plist_value.h"

class BrightnessClient {
 public:
  virtual ~BrightnessClient() = default;
  // False when no client object could be created.
  virtual bool exists() = 0;
  virtual bool respondsToCopyProperty() = 0;
  // The property's value, or none.
  virtual std::optional<PlistValue> copyProperty(const std::string& key) = 0;
  // None when the client has no way to set properties; otherwise the service's answer.
  virtual std::optional<bool> setProperty(const PlistValue& value, const std::string& key) = 0;
};

// Whether the machine has logo backlight hardware at all.
class LogoHardware {
 public:
  virtual ~LogoHardware() = default;
  virtual bool hasLogoBacklight() = 0;
};
