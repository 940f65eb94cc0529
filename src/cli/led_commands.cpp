// `halomark led`: lists the lights Halomark could drive as the logo, and chooses one of them (a
// keyboard backlight on a laptop without a logo light) or leaves the choice to Halomark again.
#include <algorithm>
#include <ostream>

#include "cli/cli.h"
#include "formats/app_identifier.h"

namespace {

std::string padded(const std::string& text, std::size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ') + "  ";
}

// "on/off" for a light that is only lit or dark, else its range of levels.
std::string capability(const CandidateLight& light) {
  return light.maxBrightness == 1 ? "on/off" : "0-" + std::to_string(light.maxBrightness);
}

std::string notes(const CandidateLight& light) {
  if (light.namesLogo && light.inUse) return "logo, in use";
  if (light.inUse) return "in use";
  return light.namesLogo ? "logo" : "";
}

int list(CliContext& context) {
  auto lights = context.platform.logoHardware.lights();
  if (lights.empty()) {
    context.out << "No lights found (the kernel's LED class lists none).\n";
    return 0;
  }
  std::size_t nameWidth = 0;
  std::size_t capabilityWidth = 0;
  for (const auto& light : lights) {
    nameWidth = std::max(nameWidth, light.name.size());
    capabilityWidth = std::max(capabilityWidth, capability(light).size());
  }
  for (const auto& light : lights) {
    std::string line =
        padded(light.name, nameWidth) + padded(capability(light), capabilityWidth) + notes(light);
    line.erase(line.find_last_not_of(' ') + 1);
    context.out << line << '\n';
  }
  return 0;
}

// The application chooses its light once, when it starts: a running one is restarted, so the old
// light is given back and the new one taken.
void restartRunningApp(CliContext& context) {
  if (!context.platform.instances.isRunning(kAppIdentifier)) return;
  CLI::quitApp(context);
  CLI::launchApp(context);
}

int use(const std::string& name, Prefs& prefs, CliContext& context) {
  if (name == "auto") {
    prefs.setLogoLight(std::nullopt);
  } else {
    auto lights = context.platform.logoHardware.lights();
    bool listed = std::any_of(lights.begin(), lights.end(),
                              [&](const CandidateLight& light) { return light.name == name; });
    if (!listed) {
      context.err << "halomark: there is no light named " << name << " (halomark led list shows them)\n";
      return 1;
    }
    prefs.setLogoLight(name);
  }
  if (!prefs.synchronize()) {
    context.err << "halomark: couldn't save the setting\n";
    return 1;
  }
  restartRunningApp(context);
  if (name == "auto") {
    context.out << "Halomark drives the first light whose name says logo.\n";
  } else {
    context.out << "Halomark drives " << name << " as the logo.\n";
  }
  return 0;
}

}  // namespace

namespace CLI {

int led(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context) {
  if (arguments.size() == 1 || (arguments.size() == 2 && arguments[1] == "list")) return list(context);
  if (arguments.size() == 3 && arguments[1] == "use") return use(arguments[2], prefs, context);
  context.err << "halomark: usage: halomark led [list] | halomark led use <name>|auto\n";
  return 2;
}

}  // namespace CLI
