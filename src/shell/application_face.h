// What the running application shows the user, and what it is handed to show it: the one thing the
// shell and the tray module share, so the module needs nothing else of the shell.
#pragma once

#include "platform/interfaces/platform.h"

class AppDelegate;
class Updates;

namespace ApplicationShell {

// Everything the face drives, made and owned by the shell for the whole launch and event loop.
struct LaunchContext {
  Platform& platform;
  AppDelegate& delegate;
  Updates& updates;
};

// What the running application shows the user. Headless it shows nothing; on a desktop the tray
// module provides the status item and its menu. The face reaches the application only through the
// context it is handed, never through globals, so the module and the executable share no state.
class Face {
 public:
  virtual ~Face() = default;
  // Launch, before the compatibility check: the status item and the menu.
  virtual void willLaunch(const LaunchContext& context) = 0;
  // Launch has ended (on any machine): the first rendering, with the unavailable state if so.
  virtual void didLaunch() = 0;
};

}  // namespace ApplicationShell
