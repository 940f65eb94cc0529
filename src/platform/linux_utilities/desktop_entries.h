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
  // A key of the entry's [Desktop Entry] group, as written; none when the file or key is missing.
  static std::optional<std::string> value(const std::string& desktopFile, const std::string& key);

  // Every installed entry as (application ID, file), the first directory holding an ID winning.
  std::vector<std::pair<std::string, std::string>> all() const;
  // The application ID of a .desktop file: its path below one of the application directories with
  // "/" turned into "-", else its file name, without ".desktop"; none for a file of another kind.
  std::optional<std::string> idFor(const std::string& desktopFile) const;

 private:
  std::vector<std::string> applicationDirs_;
};
