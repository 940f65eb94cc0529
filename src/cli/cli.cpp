#include "cli/cli.h"

#include <algorithm>
#include <map>
#include <ostream>

#include "cli/ascii_case.h"
#include "cli/finished_command.h"
#include "cli/setting_commands.h"
#include "cli/shell_init.h"
#include "maintenance/bundle.h"
#include "prefs/setting.h"

namespace {

using Arguments = std::vector<std::string>;
// Every handler sees the whole command line, the command's own name first.
using Handler = int (*)(const Arguments& arguments, Prefs& prefs, CliContext& context);

Arguments rest(const Arguments& arguments) { return Arguments(arguments.begin() + 1, arguments.end()); }

int printVersion(const Arguments&, Prefs&, CliContext& context) {
  context.out << Maintenance::versionLine(context.platform) << '\n';
  return 0;
}

int printStatus(const Arguments& arguments, Prefs& prefs, CliContext& context) {
  return CLI::status(rest(arguments), prefs, context);
}

int printHelp(const Arguments&, Prefs&, CliContext& context) {
  context.out << CLI::usage(context.platform.locale) << '\n';
  return 0;
}

int signalCommand(const Arguments& arguments, Prefs&, CliContext& context) {
  return CLI::signal(rest(arguments), context);
}

int runCommand(const Arguments& arguments, Prefs&, CliContext& context) {
  return CLI::runAndSignal(rest(arguments), context);
}

int claudeHookCommand(const Arguments& arguments, Prefs&, CliContext& context) {
  return CLI::claudeHook(rest(arguments), context);
}

int shellInitCommand(const Arguments& arguments, Prefs&, CliContext& context) {
  return ShellInit::command(rest(arguments), context);
}

int shellDoneCommand(const Arguments& arguments, Prefs&, CliContext& context) {
  return FinishedCommand::report(rest(arguments), context);
}

int uninstallProduct(const Arguments& arguments, Prefs& prefs, CliContext& context) {
  bool confirmed = std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
    return argument == "--yes" || argument == "-y";
  });
  return CLI::uninstall(prefs, confirmed, context);
}

const std::map<std::string, Handler>& commands() {
  static const std::map<std::string, Handler> table{
      {"status", printStatus},
      {"on", CLI::turnOn},
      {"off", CLI::turnOff},
      {"toggle", CLI::toggle},
      {"auto", CLI::followDisplay},
      {"automatic", CLI::followDisplay},
      {"set", CLI::setNits},
      {"reset", CLI::reset},
      {"signal", signalCommand},
      {"run", runCommand},
      {"claude-hook", claudeHookCommand},
      {"shell-init", shellInitCommand},
      {"shell-done", shellDoneCommand},
      {"uninstall", uninstallProduct},
      {"led", CLI::led},
      {"version", printVersion},
      {"--version", printVersion},
      {"help", printHelp},
      {"-h", printHelp},
      {"--help", printHelp},
  };
  return table;
}

}  // namespace

namespace CLI {

int run(const std::vector<std::string>& arguments, CliContext& context) {
  Prefs prefs(context.platform.preferences);
  prefs.migrateLegacyIfNeeded();
  auto command = arguments.empty() ? commands().end() : commands().find(asciiLowercase(arguments.front()));
  if (command == commands().end()) {
    context.err << usage(context.platform.locale) << '\n';
    return 2;
  }
  return command->second(arguments, prefs, context);
}

std::string usage(Locale& locale) {
  return "Usage: halomark <command>\n"
         "\n"
         "  status        Show the logo's setting and current brightness\n"
         "  on            Turn the logo on (back to its last on setting)\n"
         "  off           Turn the logo off\n"
         "  toggle        Switch between off and the last on setting\n"
         "  auto          Follow the display (Apple's default behavior)\n"
         "  set <nits>    Fixed brightness, " +
         locale.formatDecimal(kMinNits) + "\u2013" + "1000" +
         " nits (e.g. halomark set 80)\n"
         "  reset         Give the logo back to Apple's normal behavior\n"
         "  uninstall     Restore Apple's behavior and move Halomark to the Trash (asks first; --yes to "
         "skip)\n"
         "  signal [stop] Pulse the logo until you come back to the Mac, or stop it\n"
         "                (--message \"text\", --style breathing|double|steady)\n"
         "  run [--message \"text\"] -- <command> [args...]\n"
         "                Run a command and signal the logo when it finishes\n"
         "  claude-hook install|remove|status\n"
         "                Make Claude Code signal when it needs your input\n"
         "  led [list]    List the lights Halomark can drive as the logo\n"
         "  led use <name>|auto\n"
         "                Drive that light as the logo, or the first logo light again\n"
         "  version       Show Halomark's version\n"
         "\n"
         "Automation rules and other options are in Halomark's menu and Settings.";
}

}  // namespace CLI
