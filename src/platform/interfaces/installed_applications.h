// The applications installed for the user, by desktop file id: the identifiers the app rule of the
// automation matches, with the name and icon the desktop shows for them.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct InstalledApplication {
  std::string id;    // desktop file id, e.g. "org.gnome.Calculator"
  std::string name;  // the entry's name in the user's language
  std::string icon;  // the entry's Icon value: a theme icon name or a file path; empty when none
};

class InstalledApplications {
 public:
  virtual ~InstalledApplications() = default;
  // Every application the desktop shows in its menus, sorted by name.
  virtual std::vector<InstalledApplication> all() = 0;
  // The application a .desktop file at `path` describes; none when it is not an application entry.
  virtual std::optional<InstalledApplication> fromFile(const std::string& path) = 0;
  // The installed application with this id, or none.
  virtual std::optional<InstalledApplication> find(const std::string& id) = 0;
};
