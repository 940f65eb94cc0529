// The `halomark` command-line tool: one pass over the arguments, results on the injected streams.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/interfaces/platform.h"
#include "prefs/prefs.h"

// What a tool invocation works with: the platform and its standard streams.
struct CliContext {
  Platform& platform;
  std::ostream& out;
  std::ostream& err;
  std::istream& in;
};

namespace CLI {

// Runs one command and returns the process's exit status.
int run(const std::vector<std::string>& arguments, CliContext& context);
std::string usage(Locale& locale);

// Talking to the application.
void notifyApp(CliContext& context);
void launchApp(CliContext& context);
// Asks the application to quit and gives it a few seconds; callers go on either way.
void quitApp(CliContext& context);

// Command families, each in a file of its own.
int signal(const std::vector<std::string>& arguments, CliContext& context);
int runAndSignal(const std::vector<std::string>& arguments, CliContext& context);
void printStatus(Prefs& prefs, CliContext& context);
// `status` with its options: the text report, one JSON or panel object, or followed changes.
int status(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context);
int claudeHook(const std::vector<std::string>& arguments, CliContext& context);
int uninstall(Prefs& prefs, bool confirmed, CliContext& context);
int led(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context);

}  // namespace CLI
