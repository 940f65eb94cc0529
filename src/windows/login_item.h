// Registering the application to start at login, shared by the settings and welcome windows.
#pragma once

#include "platform/interfaces/platform.h"

// Registers (on) or unregisters the application's login item; false when the service refused or the
// application's bundle, which holds the executable to start, can't be found.
bool changeLoginItem(Platform& platform, bool on);
