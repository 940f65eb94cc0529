// Registers the application with the desktop: a .desktop entry that handles halomark: URLs and is
// activatable over D-Bus, and the session bus's service file that starts the executable on demand.
// Both live in the user's data directory ($XDG_DATA_HOME, by default ~/.local/share).
#pragma once

#include <string>

#include "platform/desktop_integration.h"

class LinuxDesktopIntegration : public DesktopIntegration {
 public:
  // Uses $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
  LinuxDesktopIntegration();
  explicit LinuxDesktopIntegration(std::string dataHome);

  // Writes the files and tells standard error of those that could not be written.
  void install(const std::string& executablePath) override;
  // Rewrites a file only when its contents differ, so launching again touches nothing. A path that
  // cannot be written into the files safely (a line break in it, say) writes neither. Returns one
  // description per file that was not written.
  std::vector<std::string> write(const std::string& executablePath);
  std::vector<std::string> remove() override;

  std::string desktopEntryPath() const;
  std::string serviceFilePath() const;

 private:
  std::string dataHome_;
};
