#include "platform/linux_services/installed_applications_linux.h"

#include <QCollator>
#include <QString>
#include <algorithm>

LinuxInstalledApplications::LinuxInstalledApplications(DesktopEntries entries)
    : entries_(std::move(entries)) {}

std::optional<InstalledApplication> LinuxInstalledApplications::describe(const std::string& id,
                                                                         const std::string& file) {
  // Links, directories and hidden entries are not applications one can run.
  auto type = DesktopEntries::value(file, "Type");
  if (!type || *type != "Application" || DesktopEntries::value(file, "Hidden") == "true") return std::nullopt;
  return InstalledApplication{id, DesktopEntries::displayName(file),
                              DesktopEntries::value(file, "Icon").value_or("")};
}

std::vector<InstalledApplication> LinuxInstalledApplications::all() {
  std::vector<InstalledApplication> apps;
  for (const auto& [id, file] : entries_.all()) {
    if (DesktopEntries::value(file, "NoDisplay") == "true") continue;
    if (auto app = describe(id, file)) apps.push_back(*app);
  }
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  collator.setNumericMode(true);
  std::stable_sort(apps.begin(), apps.end(), [&](const auto& a, const auto& b) {
    return collator.compare(QString::fromStdString(a.name), QString::fromStdString(b.name)) < 0;
  });
  return apps;
}

std::optional<InstalledApplication> LinuxInstalledApplications::fromFile(const std::string& path) {
  auto id = entries_.idFor(path);
  if (!id) return std::nullopt;
  return describe(*id, path);
}

std::optional<InstalledApplication> LinuxInstalledApplications::find(const std::string& id) {
  auto file = entries_.path(id);
  if (!file) return std::nullopt;
  return describe(id, *file);
}
