#include "platform/linux_services/hot_keys_linux.h"

#include <cstdlib>

#include "platform/linux_utilities/global_shortcuts_portal.h"
#include "platform/linux_utilities/x11_connection.h"
#include "platform/linux_utilities/x11_key_grab.h"

std::unique_ptr<HotKeyRegistration> LinuxHotKeys::registerToggle(std::function<void()> action) {
  // In a Wayland session an X11 grab would only see keys typed into X11 windows: the portal first.
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (wayland && *wayland && GlobalShortcutsPortal::available())
    return std::make_unique<GlobalShortcutsPortal>(std::move(action));
  return X11KeyGrab::grab(X11Connection::displayFromEnvironment(), std::move(action));
}
