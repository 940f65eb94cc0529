// Installed applications' .desktop files: finding one by application ID in the XDG data
// directories, and reading its name in the user's language.
#pragma once

#include <optional>
#include <string>
#include <vector>

class DesktopEntries {
 public:
  // Application directories in priority order; the first that holds an ID wins.
  explicit DesktopEntries(std::vector<std::string> applicationDirs);
  // $XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS, with the usual defaults.
  static std::vector<std::string> applicationDirsFromEnvironment();

  // The installed .desktop file for an ID ("kde-foo" may also live at "kde/foo.desktop"); none
  // when missing or hidden by the user.
  std::optional<std::string> path(const std::string& applicationId) const;
  // The entry's Name for $LC_ALL / $LC_MESSAGES / $LANG, else its plain Name; none without one.
  static std::optional<std::string> name(const std::string& desktopFile);
  // The entry's name, else the file name without ".desktop".
  static std::string displayName(const std::string& file);

 private:
  std::vector<std::string> applicationDirs_;
};
