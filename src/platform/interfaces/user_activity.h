// The user's presence: seconds since the last input, declaring activity, keeping the display awake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class UserActivity {
 public:
  virtual ~UserActivity() = default;
  // Seconds since the last input event of any kind; none when unknown.
  virtual std::optional<double> secondsSinceLastInput() = 0;
  // Tells the session the user is active (wakes a dimmed display). False when it failed.
  virtual bool declareUserActivity(const std::string& name) = 0;
  // Holds the display awake; returns the assertion's identifier, 0 when it failed.
  virtual std::uint32_t createDisplayAssertion(const std::string& name) = 0;
  virtual void releaseAssertion(std::uint32_t assertion) = 0;
};
