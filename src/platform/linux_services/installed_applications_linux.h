// Installed applications from the XDG desktop entries: the ones the desktop's menus show.
#pragma once

#include "platform/interfaces/installed_applications.h"
#include "platform/linux_utilities/desktop_entries.h"

class LinuxInstalledApplications : public InstalledApplications {
 public:
  explicit LinuxInstalledApplications(
      DesktopEntries entries = DesktopEntries(DesktopEntries::applicationDirsFromEnvironment()));
  std::vector<InstalledApplication> all() override;
  std::optional<InstalledApplication> fromFile(const std::string& path) override;
  std::optional<InstalledApplication> find(const std::string& id) override;

 private:
  std::optional<InstalledApplication> describe(const std::string& id, const std::string& file);

  DesktopEntries entries_;
};
