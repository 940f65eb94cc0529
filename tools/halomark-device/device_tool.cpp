#include "device_tool.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include "formats/brightness_table.h"
#include "platform/devices/emulated/emulated_logo_device.h"
#include "platform/devices/emulated/emulated_logo_state.h"

namespace {

namespace State = EmulatedLogoState;

const char* kUsage =
    "usage: halomark-device [--state PATH] COMMAND [OPTIONS]\n"
    "\n"
    "  create [OPTIONS]        create the device afresh (the platform's own tables, mode 2)\n"
    "  set OPTIONS             change an existing device\n"
    "      --multiplier M|none     the service's NitsMultiplier (none removes it)\n"
    "      --display-brightness L  the built-in display's level, 0 to 1\n"
    "      --display-max-nits N    the display's brightness at level 1\n"
    "      --ambient LUX           the ambient light\n"
    "  break-mode              make the logo mode read 3 whatever is written\n"
    "  fix-mode                undo break-mode (mode 2)\n"
    "  set-table KEY JSON      store any JSON under one of the three table keys, unchecked\n"
    "  show                    print the state and the computed LEPWMState as JSON\n"
    "  remove                  remove the device\n"
    "  watch [--interval S] [--duration S]\n"
    "                          print \"<seconds> FinalNits=<n> mode=<m>\" whenever either changes\n"
    "\n"
    "The state file is $XDG_RUNTIME_DIR/halomark/logo-device.json (else under the cache directory).\n";

const char* kSeeHelp = "Run \"halomark-device help\" for usage.\n";

struct UsageError {
  std::string text;
};

struct Options {
  std::optional<std::optional<double>> multiplier;  // inner none: remove it
  std::optional<double> displayLevel, displayMaxNits, ambient;
  double interval = 0.05;
  std::optional<double> duration;
};

std::string formatNumber(double value) {
  std::ostringstream text;
  text.precision(15);
  text << std::round(value * 1000) / 1000;
  return text.str();
}

double parseNumber(const std::string& option, const std::string& text, double lowest, double highest) {
  std::size_t used = 0;
  double value = 0;
  try {
    value = std::stod(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || !std::isfinite(value) || value < lowest || value > highest) {
    throw UsageError{option + " needs a number from " + formatNumber(lowest) + " to " +
                     formatNumber(highest) + ", not \"" + text + "\""};
  }
  return value;
}

// Reads "--name value" pairs; only the options named in `allowed` are accepted.
Options parseOptions(const std::vector<std::string>& args, std::size_t from, const std::string& allowed) {
  Options options;
  constexpr double kHuge = 1e9;
  for (std::size_t i = from; i < args.size(); i += 2) {
    const std::string& name = args[i];
    if (allowed.find(" " + name + " ") == std::string::npos) throw UsageError{"unknown option " + name};
    if (i + 1 >= args.size()) throw UsageError{name + " needs a value"};
    const std::string& text = args[i + 1];
    if (name == "--multiplier") {
      options.multiplier = text == "none" ? std::nullopt : std::optional(parseNumber(name, text, 0, kHuge));
    } else if (name == "--display-brightness") {
      options.displayLevel = parseNumber(name, text, 0, 1);
    } else if (name == "--display-max-nits") {
      options.displayMaxNits = parseNumber(name, text, 0, kHuge);
    } else if (name == "--ambient") {
      options.ambient = parseNumber(name, text, 0, kHuge);
    } else if (name == "--interval") {
      options.interval = parseNumber(name, text, 0.001, 3600);
    } else {
      options.duration = parseNumber(name, text, 0, kHuge);
    }
  }
  return options;
}

const char* kConfigureOptions = " --multiplier --display-brightness --display-max-nits --ambient ";

void configure(const Options& options, PlistDictionary& state) {
  if (options.multiplier) {
    if (*options.multiplier) {
      state[State::kMultiplier] = **options.multiplier;
    } else {
      state.erase(State::kMultiplier);
    }
  }
  if (options.displayLevel) state[State::kDisplayLevel] = *options.displayLevel;
  if (options.displayMaxNits) state[State::kDisplayMaxNits] = *options.displayMaxNits;
  if (options.ambient) state[State::kAmbientLux] = *options.ambient;
}

std::string liveLine(const std::optional<PlistDictionary>& state) {
  if (!state) return "FinalNits=none mode=none";
  auto mode = state->find(kBacklightModeKey);
  return "FinalNits=" + formatNumber(State::pwmState(*state).at("FinalNits").get<double>()) +
         " mode=" + (mode == state->end() ? "none" : mode->second.dump());
}

struct Context {
  const std::vector<std::string>& args;
  EmulatedLogoDevice& device;
  std::ostream& out;
};

void requireArgumentCount(const Context& c, std::size_t count) {
  if (c.args.size() != count)
    throw UsageError{c.args[0] + " takes " + std::to_string(count - 1) + " argument(s)"};
}

std::optional<std::string> create(Context& c) {
  Options options = parseOptions(c.args, 1, kConfigureOptions);
  auto error = c.device.create([&](PlistDictionary& state) { configure(options, state); });
  if (!error) c.out << "created " << c.device.statePath() << "\n";
  return error;
}

std::optional<std::string> set(Context& c) {
  if (c.args.size() < 3) throw UsageError{"set needs at least one option"};
  Options options = parseOptions(c.args, 1, kConfigureOptions);
  return c.device.modify([&](PlistDictionary& state) { configure(options, state); });
}

std::optional<std::string> setMode(Context& c, int mode, bool stuck) {
  requireArgumentCount(c, 1);
  return c.device.modify([&](PlistDictionary& state) {
    state[kBacklightModeKey] = mode;
    state[State::kModeStuck] = stuck;
  });
}

std::optional<std::string> setTable(Context& c) {
  requireArgumentCount(c, 3);
  const std::string& key = c.args[1];
  if (std::find(kTableKeys.begin(), kTableKeys.end(), key) == kTableKeys.end()) {
    throw UsageError{"KEY must be " + kTableKeys[0] + ", " + kTableKeys[1] + " or " + kTableKeys[2]};
  }
  auto value = PlistValue::parse(c.args[2], nullptr, false);
  if (value.is_discarded()) throw UsageError{"JSON does not parse: " + c.args[2]};
  return c.device.modify([&](PlistDictionary& state) { state[key] = value; });
}

std::optional<std::string> show(Context& c) {
  requireArgumentCount(c, 1);
  auto state = c.device.state();
  if (!state) return "no emulated logo device at " + c.device.statePath();
  PlistValue shown = *state;
  shown[kStateKey] = State::pwmState(*state);
  c.out << shown.dump(2) << "\n";
  return std::nullopt;
}

std::optional<std::string> remove(Context& c) {
  requireArgumentCount(c, 1);
  if (!c.device.state()) return "no emulated logo device at " + c.device.statePath();
  return c.device.remove();
}

std::optional<std::string> watch(Context& c) {
  Options options = parseOptions(c.args, 1, " --interval --duration ");
  auto start = std::chrono::steady_clock::now();
  std::optional<std::string> last;
  for (;;) {
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::string line = liveLine(c.device.state());
    if (line != last) {
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%.2f", elapsed);
      c.out << seconds << " " << line << std::endl;
      last = line;
    }
    if (options.duration && elapsed >= *options.duration) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::duration<double>(options.interval));
  }
}

using Handler = std::function<std::optional<std::string>(Context&)>;

const std::map<std::string, Handler>& commands() {
  static const std::map<std::string, Handler> table = {
      {"create", create},
      {"set", set},
      {"break-mode", [](Context& c) { return setMode(c, 3, true); }},
      {"fix-mode", [](Context& c) { return setMode(c, 2, false); }},
      {"set-table", setTable},
      {"show", show},
      {"remove", remove},
      {"watch", watch},
  };
  return table;
}

}  // namespace

namespace DeviceTool {

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args = arguments;
  std::string statePath = EmulatedLogoDevice::defaultStatePath();
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--state") continue;
    if (i + 1 >= args.size()) {
      err << "halomark-device: --state needs a path\n" << kSeeHelp;
      return 2;
    }
    statePath = args[i + 1];
    args.erase(args.begin() + i, args.begin() + i + 2);
    break;
  }
  if (!args.empty() && (args[0] == "help" || args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    return 0;
  }
  auto command = args.empty() ? commands().end() : commands().find(args[0]);
  if (command == commands().end()) {
    if (args.empty()) {
      err << kUsage;
    } else {
      err << "halomark-device: unknown command " << args[0] << "\n" << kSeeHelp;
    }
    return 2;
  }
  EmulatedLogoDevice device(statePath);
  Context context{args, device, out};
  try {
    if (auto error = command->second(context)) {
      err << "halomark-device: " << *error << "\n";
      return 1;
    }
  } catch (const UsageError& usage) {
    err << "halomark-device: " << usage.text << "\n" << kSeeHelp;
    return 2;
  }
  return 0;
}

}  // namespace DeviceTool
