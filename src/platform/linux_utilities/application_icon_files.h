// Where the application icon lives: drawn at build time into the bundle's Resources, copied into
// the user's hicolor icon theme by the desktop registration, under the application identifier.
#pragma once

#include <array>
#include <string>

namespace ApplicationIconFiles {

inline constexpr std::array<int, 8> kPixelSizes{16, 22, 24, 32, 48, 64, 128, 256};

// Paths relative to an icon theme's base folder (".../icons"): "hicolor/48x48/apps/<id>.png" and
// "hicolor/scalable/apps/<id>.svg".
std::string bitmapPath(int pixels);
std::string scalablePath();
// The bundle's own copy, for the executable at `executablePath`.
std::string bundleIconsDirectory(const std::string& executablePath);

}  // namespace ApplicationIconFiles
