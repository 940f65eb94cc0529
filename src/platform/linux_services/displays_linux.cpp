#include "platform/linux_services/displays_linux.h"

#include <algorithm>
#include <filesystem>
#include <regex>
#include <system_error>

#include "platform/linux_utilities/sysfs_read.h"

namespace fs = std::filesystem;

namespace {

struct Connector {
  std::string name;  // e.g. "card0-eDP-1"
  std::string type;  // e.g. "eDP"
};

// 32-bit FNV-1a of the connector name.
DisplayID idOf(const std::string& name) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : name) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash;
}

std::vector<Connector> connectedConnectors(const fs::path& drm) {
  static const std::regex pattern(R"(card[0-9]+-(.+)-[0-9]+)");
  std::vector<Connector> result;
  for (const auto& entry : Sysfs::entries(drm)) {
    std::string name = entry.filename().string();
    std::smatch match;
    if (!std::regex_match(name, match, pattern)) continue;
    if (Sysfs::readLine(entry / "status") != "connected") continue;
    result.push_back({name, match[1].str()});
  }
  std::sort(result.begin(), result.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  return result;
}

}  // namespace

LinuxDisplays::LinuxDisplays(std::string sysRoot) : sysRoot_(std::move(sysRoot)) {}

std::optional<std::vector<DisplayID>> LinuxDisplays::onlineDisplays(std::size_t capacity) {
  std::vector<DisplayID> ids;
  for (const auto& connector : connectedConnectors(fs::path(sysRoot_) / "class" / "drm")) {
    if (ids.size() >= capacity) break;
    ids.push_back(idOf(connector.name));
  }
  return ids;
}

bool LinuxDisplays::isBuiltIn(DisplayID display) {
  for (const auto& connector : connectedConnectors(fs::path(sysRoot_) / "class" / "drm")) {
    if (idOf(connector.name) != display) continue;
    return connector.type == "eDP" || connector.type == "LVDS" || connector.type == "DSI";
  }
  return false;
}
