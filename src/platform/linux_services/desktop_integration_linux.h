// Registers the application with the desktop: a .desktop entry that handles halomark: URLs and is
// activatable over D-Bus and offers the logo actions, the session bus's service file that starts the
// executable on demand, the application icon in the hicolor theme, and the KRunner plugin that maps
// typed phrases to the actions. All live in the user's data directory ($XDG_DATA_HOME, by default
// ~/.local/share); the entry and the service file are left to the system's data directories
// ($XDG_DATA_DIRS) when those already offer the same files, as a packaged install does, since a
// per-user copy would only shadow the system one.
#pragma once

#include <string>
#include <vector>

#include "platform/interfaces/desktop_integration.h"

class LinuxDesktopIntegration : public DesktopIntegration {
 public:
  // Uses $XDG_DATA_HOME (or ~/.local/share) and $XDG_DATA_DIRS.
  LinuxDesktopIntegration();
  // No system directories: the files always live in `dataHome`.
  explicit LinuxDesktopIntegration(std::string dataHome, std::vector<std::string> systemDataDirectories = {});

  // Writes the files and tells standard error of those that could not be written.
  void install(const std::string& executablePath) override;
  // Rewrites a file only when its contents differ, so launching again touches nothing. Where the
  // first system data directory that has the entry or the service file holds exactly these
  // contents, the per-user copy is removed instead. A path that cannot be written into the files
  // safely (a line break in it, say) writes none of them. Returns one description per file that was
  // not written.
  std::vector<std::string> write(const std::string& executablePath);
  std::vector<std::string> remove() override;

  std::string desktopEntryPath() const;
  std::string serviceFilePath() const;
  std::string runnerPluginPath() const;
  std::string iconsDirectory() const;

 private:
  std::string dataHome_;
  std::vector<std::string> systemDataDirectories_;
};
