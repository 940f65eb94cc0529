// A screen reader's view of the application: the accessibility bus started as a desktop with
// assistive technology starts it, and a reader (tests/data/atspi_switch.py) that waits for the
// logo switch to be shown, reports what AT-SPI says of it and presses it.
#pragma once

#include <functional>
#include <string>

#include "integration/sandbox.h"

namespace ScreenReader {

// Whether this machine has the accessibility bus and the Python AT-SPI bindings.
bool available();
// Starts the accessibility bus in the sandbox and asks applications started afterwards to expose
// their widgets on it; false when the bus did not come up.
bool start(Sandbox& sandbox);
// Starts the reader, then calls `show(attempt)` until the reader has seen the switch (a window shown
// before the reader's interest reached the application goes unannounced, so `show` may run up to
// three times); returns what the reader printed, with status 0 when it saw and pressed the switch.
ProcessResult readAndPressSwitch(Sandbox& sandbox, const std::function<void(int attempt)>& show);

}  // namespace ScreenReader
