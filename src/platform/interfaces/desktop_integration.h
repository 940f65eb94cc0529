// The desktop's registration of the application: its URL scheme handler and bus activation.
#pragma once

#include <string>
#include <vector>

class DesktopIntegration {
 public:
  virtual ~DesktopIntegration() = default;
  // Registers the executable at `executablePath` as the application; idempotent.
  virtual void install(const std::string& executablePath) = 0;
  // Removes what install wrote; returns one description per file that could not be removed.
  virtual std::vector<std::string> remove() = 0;
};
