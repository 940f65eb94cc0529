// The application's process on Linux: the Qt event loop (headless when there is no display), the
// single instance on the session bus, the desktop registration, URLs from the desktop, and a normal
// quit on SIGTERM, SIGINT and SIGHUP so the logo is given back when the session ends.
#pragma once

#include "platform/platform.h"

namespace LinuxApplication {

// Creates the Qt application object, launches the delegate and runs until asked to quit; returns the
// process's exit status. A second copy, finding the application already running, returns 0 at once
// without touching anything.
int run(int& argc, char** argv, Platform& platform);

}  // namespace LinuxApplication
