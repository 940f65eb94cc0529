// The user's graphical session: whether the screen is locked.
#pragma once

#include <optional>

#include "formats/plist_value.h"

class Session {
 public:
  virtual ~Session() = default;
  // The session dictionary; the lock state is under "CGSSessionScreenIsLocked" (a boolean, or the
  // integer 1 for locked). None when there is no session information.
  virtual std::optional<PlistValue> sessionDictionary() = 0;
};
