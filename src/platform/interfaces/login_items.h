// Starting the application at login.
#pragma once

#include <optional>
#include <string>

class LoginItems {
 public:
  virtual ~LoginItems() = default;
  virtual bool isEnabled() = 0;
  // Each returns the failure's description, or none on success.
  virtual std::optional<std::string> enable(const std::string& executablePath) = 0;
  virtual std::optional<std::string> disable() = 0;
};
