// Where the application's icons live: drawn at build time into the bundle's Resources, copied into
// the user's hicolor icon theme by the desktop registration, under the application identifier. They
// are the application icon and the tray icon's states, the latter as symbolic icons that panels
// recolour for their own background and as plain ones.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace ApplicationIconFiles {

inline constexpr std::array<int, 8> kPixelSizes{16, 22, 24, 32, 48, 64, 128, 256};

// Paths relative to an icon theme's base folder (".../icons"): "hicolor/48x48/apps/<id>.png" and
// "hicolor/scalable/apps/<id>.svg".
std::string bitmapPath(int pixels);
std::string scalablePath();
// The bundle's own copy, for the executable at `executablePath`.
std::string bundleIconsDirectory(const std::string& executablePath);

// A state of the tray icon by its name in the theme: "<id>-lit", "<id>-unlit-attention-symbolic", ...
std::string statusIconName(bool lit, bool attention, bool symbolic);
// Every state's names, symbolic and plain.
std::vector<std::string> statusIconNames();
// "hicolor/scalable/status/<name>.svg".
std::string statusIconPath(const std::string& name);

}  // namespace ApplicationIconFiles
