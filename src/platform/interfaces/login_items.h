// Starting the application at login.
#pragma once

#include <optional>
#include <string>

#include "formats/failure.h"

class LoginItems {
 public:
  virtual ~LoginItems() = default;
  virtual bool isEnabled() = 0;
  // Each returns the failure's description, or none on success.
  virtual Failure enable(const std::string& executablePath) = 0;
  virtual Failure disable() = 0;
};
