// The `signal` and `run` commands: ask the application to start or stop the attention signal, and
// run a command to signal when it ends.
#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "cli/cli.h"
#include "cli/command_outcome.h"
#include "formats/app_identifier.h"

namespace {

constexpr const char* kRunUsage =
    "usage: halomark run [--message \"text\"] [--style breathing|double|steady] -- <command> [args...]\n";
constexpr const char* kUndeliverable =
    "halomark: couldn't signal Halomark: there is no D-Bus session bus to carry the request\n";
constexpr int kFailure = 1;
constexpr int kCommandNotStarted = 127;
constexpr int kUsageError = 2;

// The style names the tool accepts, lower-cased, and the raw style each stands for.
std::optional<std::string> styleFromName(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  static const std::map<std::string, std::string> styles = {
      {"breathing", "breathing"},
      {"breathe", "breathing"},
      {"double", "doublePulse"},
      {"doublepulse", "doublePulse"},
      {"double-pulse", "doublePulse"},
      {"steady", "steady"},
      {"glow", "steady"},
  };
  auto found = styles.find(name);
  if (found == styles.end()) return std::nullopt;
  return found->second;
}

// The argument after the first `option`, when there is one.
std::optional<std::string> optionValue(const std::vector<std::string>& arguments, const std::string& option) {
  auto found = std::find(arguments.begin(), arguments.end(), option);
  if (found == arguments.end() || std::next(found) == arguments.end()) return std::nullopt;
  return *std::next(found);
}

struct RunRequest {
  std::optional<std::string> message;
  std::optional<std::string> style;
  std::vector<std::string> command;
};

// Leading options up to "--" or the first word that is not one of them; the rest is the command.
RunRequest parseRun(const std::vector<std::string>& arguments) {
  RunRequest request;
  std::size_t i = 0;
  while (i < arguments.size()) {
    const std::string& word = arguments[i];
    bool hasValue = i + 1 < arguments.size();
    if (word == "--") {
      ++i;
      break;
    }
    if (word == "--message" && hasValue) {
      request.message = arguments[i + 1];
    } else if (word == "--style" && hasValue) {
      request.style = arguments[i + 1];
    } else {
      break;
    }
    i += 2;
  }
  request.command.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
  return request;
}

}  // namespace

int CLI::signal(const std::vector<std::string>& arguments, CliContext& context) {
  std::string action = !arguments.empty() && arguments.front() == "stop" ? "stop" : "start";
  std::map<std::string, std::string> payload{{"action", action}};
  if (auto message = optionValue(arguments, "--message")) payload["message"] = *message;
  if (auto name = optionValue(arguments, "--style")) {
    if (auto style = styleFromName(*name)) payload["style"] = *style;
  }

  bool running = context.platform.instances.isRunning(kAppIdentifier);
  // Stopping a signal of an application that does not run has nothing to stop.
  if (!running && action == "stop") return 0;
  // Settings reach the application through its preference file, a signal only as a notification:
  // without a way to deliver it, starting the application would only leave it running unasked.
  if (!context.platform.notifications.canDeliver()) {
    context.err << kUndeliverable << std::flush;
    return kFailure;
  }
  if (!running) launchApp(context);
  context.platform.notifications.post(Prefs::signalNotification(), payload);
  return 0;
}

int CLI::runAndSignal(const std::vector<std::string>& arguments, CliContext& context) {
  RunRequest request = parseRun(arguments);
  if (request.command.empty()) {
    context.err << kRunUsage << std::flush;
    return kUsageError;
  }

  // The child writes to the same streams: what the tool buffered must come first.
  context.out.flush();
  context.err.flush();
  const std::string& name = request.command.front();
  auto result = context.platform.children.run("/usr/bin/env", request.command);
  if (auto* failure = std::get_if<ChildStartFailure>(&result)) {
    context.err << "halomark: couldn't run " << name << ": " << failure->description << "\n" << std::flush;
    return kCommandNotStarted;
  }
  int status = std::get<ChildExit>(result).status;

  std::vector<std::string> signalArguments{"start", "--message",
                                           request.message.value_or(CommandOutcome::message(status, name))};
  if (request.style) {
    signalArguments.push_back("--style");
    signalArguments.push_back(*request.style);
  }
  signal(signalArguments, context);
  return status;
}
