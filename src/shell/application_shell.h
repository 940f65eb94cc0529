// The process as an application: the Qt application object, the single instance (with or without a
// session bus), the desktop registration, URLs from the desktop and a normal quit on termination
// signals and when its session bus or login session ends, around the product's AppDelegate. It
// sits above the core and the Linux services and wires them together.
#pragma once

#include "platform/interfaces/platform.h"
#include "shell/application_face.h"

namespace ApplicationShell {

// Runs the application and returns the process's exit status: with a display reachable, with the
// face made by the tray module opened at run time (the tool never loads the widget libraries);
// without one, or when the module cannot be opened, headless. A second copy, finding the
// application already running, returns 0 at once without touching anything.
int run(int& argc, char** argv, Platform& platform);

}  // namespace ApplicationShell
