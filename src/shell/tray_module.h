// The tray interface lives in a module of its own beside the executable, opened only when the
// application starts on a display, so the tool and the headless application never load the
// widget libraries.
#pragma once

#include "platform/platform.h"

namespace TrayModule {

// Creates the widget application object and serves the application with the tray face.
using Entry = int (*)(int& argc, char** argv, Platform& platform);
inline constexpr const char* kEntryName = "halomark_run_tray";
// The module's file name, in the bundle's PlugIns folder.
inline constexpr const char* kFileName = "halomark_tray.so";

// Whether an X server or a Wayland compositor answers on the display the environment names.
bool displayReachable();
// The module's entry, or none (with the reason on stderr) when it is missing or broken.
Entry load();

}  // namespace TrayModule
