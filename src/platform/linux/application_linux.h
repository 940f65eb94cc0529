// The application's process on Linux: the Qt event loop (headless when there is no display), the
// single instance on the session bus, the desktop registration, URLs from the desktop, and a normal
// quit on SIGTERM, SIGINT and SIGHUP so the logo is given back when the session ends.
#pragma once

#include "platform/platform.h"

class AppDelegate;

namespace LinuxApplication {

// What the running application shows the user. Headless it shows nothing; on a desktop the tray
// module provides the status item and its menu.
class Face {
 public:
  virtual ~Face() = default;
  // Launch, before the compatibility check: the status item and the menu.
  virtual void willLaunch(AppDelegate& delegate) = 0;
  // Launch has ended (on any machine): the first rendering, or the unavailable state.
  virtual void didLaunch(AppDelegate& delegate) = 0;
};

// Runs the application and returns the process's exit status: with a display reachable, through
// the tray module loaded at run time (the tool never pays for the widget libraries); without one,
// or when the module cannot be loaded, headless. A second copy, finding the application already
// running, returns 0 at once without touching anything.
int run(int& argc, char** argv, Platform& platform);

// Launches the delegate and runs the event loop of the Qt application object that the caller has
// created; `face` may be null (headless).
int serve(Platform& platform, Face* face);

}  // namespace LinuxApplication
