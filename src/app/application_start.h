// Starting the application from another process (the tool, or a process the desktop ran to open a
// URL) and waiting until it can be talked to: it owns its bus name only once it listens.
#pragma once

#include <optional>
#include <string>

#include "formats/failure.h"
#include "platform/interfaces/platform.h"

namespace ApplicationStart {

// Starts the application bundle at `bundle`, then polls, for at most `nameWaitSeconds`, until the
// application owns its name. Returns the error text when it could not be started; then nothing is
// waited for.
Failure start(Platform& platform, const std::string& bundle, double nameWaitSeconds);

}  // namespace ApplicationStart
