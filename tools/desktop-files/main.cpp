// Writes the desktop entry and the session bus service file that the application registers for
// itself, for an executable at a given path, into a data folder. A system-wide install ships them
// this way, so they match what the application would write byte for byte and it keeps no per-user
// copies beside them.
#include <filesystem>
#include <iostream>

#include "platform/linux_services/desktop_integration_linux.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: halomark-desktop-files <installed executable> <data folder>\n";
    return 2;
  }
  LinuxDesktopIntegration desktop(argv[2]);
  desktop.install(argv[1]);
  for (const auto& path : {desktop.desktopEntryPath(), desktop.serviceFilePath()}) {
    if (!std::filesystem::is_regular_file(path)) {
      std::cerr << "halomark-desktop-files: couldn't write " << path << "\n";
      return 1;
    }
  }
  return 0;
}
