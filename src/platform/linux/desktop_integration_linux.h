// Registers the application with the desktop: a .desktop entry that handles halomark: URLs and is
// activatable over D-Bus, the session bus's service file that starts the executable on demand, and
// the application icon in the hicolor theme.
// Both live in the user's data directory ($XDG_DATA_HOME, by default ~/.local/share).
#pragma once

#include <string>

#include "platform/desktop_integration.h"

class LinuxDesktopIntegration : public DesktopIntegration {
 public:
  // Uses $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
  LinuxDesktopIntegration();
  explicit LinuxDesktopIntegration(std::string dataHome);

  // Rewrites a file only when its contents differ, so launching again touches nothing.
  void install(const std::string& executablePath) override;
  std::vector<std::string> remove() override;

  std::string desktopEntryPath() const;
  std::string serviceFilePath() const;
  std::string iconsDirectory() const;

 private:
  std::string dataHome_;
};
