// The desktop's clipboard, for texts the user pastes elsewhere.
#pragma once

#include <string>

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces whatever the clipboard held with plain text.
  virtual void setText(const std::string& text) = 0;
};
