// The desktop opens a halomark: URL by running the scheme handler's command line with the URL as its
// only argument. Such a process is not the tool: it hands the URL to the running application
// (starting it first when needed) and ends.
#pragma once

#include <string>
#include <vector>

#include "platform/interfaces/platform.h"

namespace OpenURLRequest {

// Starts the application when it does not run, waits for it to take its name, and hands it the
// URLs. Returns the exit status, always 0: there is nobody to report a failure to.
int forward(const std::vector<std::string>& urls, Platform& platform);

}  // namespace OpenURLRequest
