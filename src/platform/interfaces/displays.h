// Online displays and the built-in display's brightness.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

using DisplayID = std::uint32_t;

class Displays {
 public:
  virtual ~Displays() = default;
  // Online display identifiers in the platform's order, at most `capacity`; none on an error.
  virtual std::optional<std::vector<DisplayID>> onlineDisplays(std::size_t capacity) = 0;
  virtual bool isBuiltIn(DisplayID display) = 0;
};

// Reading and writing a display's brightness level (0...1).
class DisplayBrightness {
 public:
  virtual ~DisplayBrightness() = default;
  // Resolves the service once; false when it (or one of its two entry points) is missing.
  virtual bool load() = 0;
  // Status 0 is success.
  virtual std::int32_t get(DisplayID display, float& level) = 0;
  virtual std::int32_t set(DisplayID display, float level) = 0;
};
