// `halomark uninstall`: confirms, asks the running application to quit, removes the product and
// reports each result.
#include <istream>
#include <ostream>

#include "cli/ascii_case.h"
#include "cli/cli.h"
#include "cli/uninstall_report.h"
#include "logo/logo_controller.h"
#include "maintenance/bundle.h"
#include "prefs/app_identifier.h"

namespace {

constexpr double kQuitWaitSeconds = 5.0;
constexpr double kQuitPollSeconds = 0.2;

bool userConfirms(const std::string& bundle, CliContext& context) {
  context.out
      << "This restores Apple's normal logo behavior, removes Halomark's settings and command links,\n"
      << "and moves " << bundle << " to the Trash. Continue? [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(context.in, answer)) return false;
  answer = asciiLowercase(answer);
  return answer == "y" || answer == "yes";
}

// Asks the application to quit and gives it a few seconds; the uninstall goes on either way.
void quitRunningApp(Platform& platform) {
  platform.instances.requestQuit(kAppIdentifier);
  const double start = platform.clock.now();
  while (platform.instances.isRunning(kAppIdentifier) && platform.clock.now() - start < kQuitWaitSeconds) {
    platform.clock.sleep(kQuitPollSeconds);
  }
}

}  // namespace

namespace CLI {

int uninstall(Prefs& prefs, bool confirmed, CliContext& context) {
  auto bundle = Maintenance::appBundleURL(context.platform);
  if (!bundle) {
    context.err << "halomark: couldn't find the Halomark app to uninstall\n";
    return 1;
  }
  if (!confirmed && !userConfirms(*bundle, context)) {
    context.out << "Cancelled.\n";
    return 1;
  }
  quitRunningApp(context.platform);
  LogoController logo(context.platform);
  auto result = Maintenance::uninstall(*bundle, logo, prefs, context.platform);
  reportUninstall(result, context);
  return result.errors.empty() ? 0 : 1;
}

}  // namespace CLI
