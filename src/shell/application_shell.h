// The process as an application: the Qt application object, the single instance (with or without a
// session bus), the desktop registration, URLs from the desktop and a normal quit on termination
// signals and when its session bus or login session ends, around the product's AppDelegate. It
// sits above the core and the Linux services and wires them together.
#pragma once

#include "platform/platform.h"

class AppDelegate;
class Updates;

namespace ApplicationShell {

// Everything the face drives, made and owned by the shell for the whole launch and event loop.
struct LaunchContext {
  Platform& platform;
  AppDelegate& delegate;
  Updates& updates;
};

// What the running application shows the user. Headless it shows nothing; on a desktop the tray
// module provides the status item and its menu. The face reaches the application only through the
// context it is handed, never through globals, so the module and the executable share no state.
class Face {
 public:
  virtual ~Face() = default;
  // Launch, before the compatibility check: the status item and the menu.
  virtual void willLaunch(const LaunchContext& context) = 0;
  // Launch has ended (on any machine): the first rendering, with the unavailable state if so.
  virtual void didLaunch() = 0;
};

// Runs the application and returns the process's exit status: with a display reachable, with the
// face made by the tray module opened at run time (the tool never loads the widget libraries);
// without one, or when the module cannot be opened, headless. A second copy, finding the
// application already running, returns 0 at once without touching anything.
int run(int& argc, char** argv, Platform& platform);

}  // namespace ApplicationShell
