#include "app/open_url_request.h"

#include "maintenance/bundle.h"
#include "prefs/app_identifier.h"

namespace {

constexpr double kStartTimeoutSeconds = 10;
constexpr double kPollSeconds = 0.1;
constexpr int kNamePolls = 50;  // five seconds

// A started application takes its bus name only once it has launched; the URLs wait for that.
void startApplication(Platform& platform) {
  auto bundle = Maintenance::appBundleURL(platform);
  if (!bundle) return;
  if (platform.bundles.openApplication(*bundle, kStartTimeoutSeconds)) return;
  for (int poll = 0; poll < kNamePolls; ++poll) {
    if (platform.instances.isRunning(kAppIdentifier)) return;
    platform.clock.sleep(kPollSeconds);
  }
}

}  // namespace

namespace OpenURLRequest {

int forward(const std::vector<std::string>& urls, Platform& platform) {
  if (!platform.instances.isRunning(kAppIdentifier)) startApplication(platform);
  platform.instances.openURLs(kAppIdentifier, urls);
  return 0;
}

}  // namespace OpenURLRequest
