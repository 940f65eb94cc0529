#include "maintenance/bundle.h"

#include <filesystem>
#include <system_error>

#include "formats/app_identifier.h"

namespace fs = std::filesystem;

namespace {

// The information dictionary of the bundle the executable belongs to, else the running program's.
std::optional<PlistDictionary> bundleInfo(Platform& platform) {
  if (auto bundle = Maintenance::appBundleURL(platform)) {
    if (auto info = platform.bundles.bundleInfo(*bundle)) return info;
  }
  return platform.bundles.mainBundleInfo();
}

}  // namespace

namespace Maintenance {

std::optional<PlistValue> bundleInfoValue(Platform& platform, const std::string& key) {
  auto info = bundleInfo(platform);
  if (!info) return std::nullopt;
  auto it = info->find(key);
  if (it == info->end()) return std::nullopt;
  return it->second;
}

std::optional<std::string> bundleInfoString(Platform& platform, const std::string& key) {
  auto value = bundleInfoValue(platform, key);
  if (!value || !value->is_string()) return std::nullopt;
  return value->get<std::string>();
}

std::optional<std::string> appBundleURL(Platform& platform) {
  if (platform.bundles.mainBundleIdentifier() == kAppIdentifier) {
    if (auto path = platform.bundles.mainBundlePath()) return path;
  }
  auto arguments = platform.process.arguments();
  if (arguments.empty()) return std::nullopt;
  return bundleContaining(arguments.front());
}

std::optional<std::string> bundleContaining(const std::string& executable) {
  if (executable.empty()) return std::nullopt;
  std::error_code error;
  fs::path path = fs::absolute(executable, error);
  if (error) return std::nullopt;
  // A path that cannot be resolved (removed meanwhile) is still judged by its shape.
  fs::path resolved = fs::weakly_canonical(path, error);
  if (error) resolved = path.lexically_normal();
  fs::path bundle = resolved.parent_path().parent_path().parent_path();
  if (bundle.extension() != ".app") return std::nullopt;
  return bundle.string();
}

std::string executablePath(const std::string& bundlePath) {
  return (fs::path(bundlePath) / "Contents" / "MacOS" / "Halomark").string();
}

std::string shortVersion(Platform& platform) {
  return bundleInfoString(platform, "CFBundleShortVersionString").value_or("?");
}

std::string buildVersion(Platform& platform) {
  return bundleInfoString(platform, "CFBundleVersion").value_or("?");
}

std::string versionLine(Platform& platform) {
  return "Halomark " + shortVersion(platform) + " (" + buildVersion(platform) + ")";
}

}  // namespace Maintenance
