// The user's graphical session: lock state, input idleness, and keeping the display awake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/plist_value.h"

class Session {
 public:
  virtual ~Session() = default;
  // The session dictionary; the lock state is under "CGSSessionScreenIsLocked" (a boolean, or the
  // integer 1 for locked). None when there is no session information.
  virtual std::optional<PlistValue> sessionDictionary() = 0;
  // Seconds since the last input event of any kind; none when unknown.
  virtual std::optional<double> secondsSinceLastInput() = 0;
  // Tells the session the user is active (wakes a dimmed display). False when it failed.
  virtual bool declareUserActivity(const std::string& name) = 0;
  // Holds the display awake; returns the assertion's identifier, 0 when it failed.
  virtual std::uint32_t createDisplayAssertion(const std::string& name) = 0;
  virtual void releaseAssertion(std::uint32_t assertion) = 0;
};
