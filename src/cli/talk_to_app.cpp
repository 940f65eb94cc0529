#include <ostream>

#include "app/application_start.h"
#include "cli/cli.h"
#include "formats/app_identifier.h"
#include "maintenance/bundle.h"

namespace {

// How long the tool lets a started application settle before it goes on.
constexpr double kAfterStartSeconds = 1.5;
// How long the tool gives the application to quit, and how often it looks.
constexpr double kQuitWaitSeconds = 5.0;
constexpr double kQuitPollSeconds = 0.2;

}  // namespace

namespace CLI {

void notifyApp(CliContext& context) {
  Platform& platform = context.platform;
  if (platform.instances.isRunning(kAppIdentifier)) {
    platform.notifications.post(Prefs::changedNotification(), std::nullopt);
    return;
  }
  auto arguments = platform.process.arguments();
  auto bundle = arguments.empty() ? std::nullopt : Maintenance::bundleContaining(arguments.front());
  if (!bundle) {
    context.err << "halomark: Halomark isn't running and its app couldn't be found to start it\n";
    return;
  }
  // The application applies the stored setting when it starts, so nothing is posted afterwards.
  if (auto error = ApplicationStart::start(platform, *bundle, 0)) {
    context.err << "halomark: couldn't start Halomark: " << *error << '\n';
  }
  platform.clock.sleep(kAfterStartSeconds);
}

void launchApp(CliContext& context) {
  Platform& platform = context.platform;
  auto bundle = Maintenance::appBundleURL(platform);
  if (!bundle) return;
  ApplicationStart::start(platform, *bundle, 0);
  platform.clock.sleep(kAfterStartSeconds);
}

void quitApp(CliContext& context) {
  Platform& platform = context.platform;
  platform.instances.requestQuit(kAppIdentifier);
  const double start = platform.clock.now();
  while (platform.instances.isRunning(kAppIdentifier) && platform.clock.now() - start < kQuitWaitSeconds) {
    platform.clock.sleep(kQuitPollSeconds);
  }
}

}  // namespace CLI
