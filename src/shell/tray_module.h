// The tray interface lives in a module of its own beside the executable, opened only when the
// application starts on a display, so the tool and the headless application never load the
// widget libraries. The module links what it runs itself and exports one function; the executable
// exports nothing to it and hands it the application's objects at launch (ApplicationShell::Face).
#pragma once

#include "shell/application_shell.h"

namespace TrayModule {

// Creates the widget application object and the tray face, which owns it; the caller owns the face
// and serves the application with it.
using Entry = ApplicationShell::Face* (*)(int& argc, char** argv);
inline constexpr const char* kEntryName = "halomark_make_tray_face";
// The module's file name, in the bundle's PlugIns folder.
inline constexpr const char* kFileName = "halomark_tray.so";

// Whether an X server or a Wayland compositor answers on the display the environment names.
bool displayReachable();
// The module's entry, or none (with the reason on stderr) when it is missing or broken.
Entry load();

}  // namespace TrayModule
