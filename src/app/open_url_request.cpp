#include "app/open_url_request.h"

#include "app/application_start.h"
#include "formats/app_identifier.h"
#include "maintenance/bundle.h"

namespace {

// URLs sent before the application owns its name are lost, so they wait for it.
constexpr double kNameWaitSeconds = 5;

void startApplication(Platform& platform) {
  if (auto bundle = Maintenance::appBundleURL(platform))
    ApplicationStart::start(platform, *bundle, kNameWaitSeconds);
}

}  // namespace

namespace OpenURLRequest {

int forward(const std::vector<std::string>& urls, Platform& platform) {
  if (!platform.instances.isRunning(kAppIdentifier)) startApplication(platform);
  platform.instances.openURLs(kAppIdentifier, urls);
  return 0;
}

}  // namespace OpenURLRequest
