// Whether the process can show windows: a display server it can reach. Qt's GUI application would
// abort the process without one, so the application stays headless then.
#pragma once

namespace DesktopSession {

bool available();

}  // namespace DesktopSession
