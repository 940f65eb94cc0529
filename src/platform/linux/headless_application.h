// The application without a user interface: checks once whether the logo can be controlled, then
// runs until it is asked to quit (SIGTERM or SIGINT), and ends with status 0.
#pragma once

#include "platform/platform.h"

namespace HeadlessApplication {

int run(int& argc, char** argv, Platform& platform);

}  // namespace HeadlessApplication
