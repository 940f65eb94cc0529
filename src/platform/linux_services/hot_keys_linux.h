// The toggle combination on Linux: an X11 key grab on the root window where an X server is
// reachable, else the desktop's GlobalShortcuts portal on Wayland; elsewhere none.
#pragma once

#include "platform/interfaces/hot_keys.h"

class LinuxHotKeys : public HotKeys {
 public:
  std::unique_ptr<HotKeyRegistration> registerToggle(std::function<void()> action) override;
};
