// The application's process on Linux: the Qt event loop (headless when there is no display), the
// single instance on the session bus, the desktop registration, URLs from the desktop, and a normal
// quit on SIGTERM, SIGINT and SIGHUP so the logo is given back when the session ends.
#pragma once

#include <QCoreApplication>
#include <memory>

#include "platform/platform.h"

namespace LinuxApplication {

// The Qt application object for the application role; create it before anything talks to the bus.
std::unique_ptr<QCoreApplication> create(int& argc, char** argv);

// Launches the delegate and runs until asked to quit; returns the process's exit status. A second
// copy, finding the application already running, returns 0 at once without touching anything.
int run(Platform& platform);

}  // namespace LinuxApplication
