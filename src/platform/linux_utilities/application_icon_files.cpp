#include "platform/linux_utilities/application_icon_files.h"

#include <filesystem>

#include "formats/app_identifier.h"

namespace ApplicationIconFiles {

std::string bitmapPath(int pixels) {
  std::string size = std::to_string(pixels);
  return "hicolor/" + size + "x" + size + "/apps/" + kAppIdentifier + ".png";
}

std::string scalablePath() { return std::string("hicolor/scalable/apps/") + kAppIdentifier + ".svg"; }

std::string bundleIconsDirectory(const std::string& executablePath) {
  // Contents/MacOS/Halomark -> Contents/Resources/icons
  return (std::filesystem::path(executablePath).parent_path().parent_path() / "Resources" / "icons").string();
}

std::string statusIconName(bool lit, bool attention, bool symbolic) {
  return std::string(kAppIdentifier) + (lit ? "-lit" : "-unlit") + (attention ? "-attention" : "") +
         (symbolic ? "-symbolic" : "");
}

std::vector<std::string> statusIconNames() {
  std::vector<std::string> names;
  for (bool lit : {true, false})
    for (bool attention : {false, true})
      for (bool symbolic : {true, false}) names.push_back(statusIconName(lit, attention, symbolic));
  return names;
}

std::string statusIconPath(const std::string& name) { return "hicolor/scalable/status/" + name + ".svg"; }

}  // namespace ApplicationIconFiles
