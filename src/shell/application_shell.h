// The process as an application: the Qt application object, the single instance on the session bus,
// the desktop registration, URLs from the desktop and a normal quit on termination signals, around
// the product's AppDelegate. It sits above the core and the Linux services and wires them together.
#pragma once

#include "platform/platform.h"

namespace ApplicationShell {

// Creates the Qt application object, launches the delegate and runs until asked to quit; returns the
// process's exit status. A second copy, finding the application already running, returns 0 at once
// without touching anything.
int run(int& argc, char** argv, Platform& platform);

}  // namespace ApplicationShell
