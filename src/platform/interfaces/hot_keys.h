// The global key combination that toggles the logo from anywhere in the session
// (Control-Alt-Super-L).
#pragma once

#include <functional>
#include <memory>

class HotKeyRegistration {
 public:
  // Releasing the registration gives the combination back to the desktop at once.
  virtual ~HotKeyRegistration() = default;
};

class HotKeys {
 public:
  virtual ~HotKeys() = default;
  // Registers the toggle combination; `action` runs on the main thread on each press. None when
  // the desktop refuses it (another program holds it) or offers no way to register one.
  virtual std::unique_ptr<HotKeyRegistration> registerToggle(std::function<void()> action) = 0;
};
