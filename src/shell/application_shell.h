// The process as an application: the Qt application object, the single instance on the session bus,
// the desktop registration, URLs from the desktop and a normal quit on termination signals, around
// the product's AppDelegate. It sits above the core and the Linux services and wires them together.
#pragma once

#include "platform/platform.h"

class AppDelegate;

namespace ApplicationShell {

// What the running application shows the user. Headless it shows nothing; on a desktop the tray
// module provides the status item and its menu.
class Face {
 public:
  virtual ~Face() = default;
  // Launch, before the compatibility check: the status item and the menu.
  virtual void willLaunch(AppDelegate& delegate) = 0;
  // Launch has ended (on any machine): the first rendering, with the unavailable state if so.
  virtual void didLaunch(AppDelegate& delegate) = 0;
};

// Runs the application and returns the process's exit status: with a display reachable, through
// the tray module opened at run time (the tool never loads the widget libraries); without one, or
// when the module cannot be opened, headless. A second copy, finding the application already
// running, returns 0 at once without touching anything.
int run(int& argc, char** argv, Platform& platform);

// Launches the delegate and runs the event loop of the Qt application object the caller created;
// `face` is null when headless.
int serve(Platform& platform, Face* face);

}  // namespace ApplicationShell
