#include "app/application_start.h"

#include "formats/app_identifier.h"

namespace {

// How long the start itself may take; the bundles service waits within it for the name where it can.
constexpr double kStartTimeoutSeconds = 10;
constexpr double kPollSeconds = 0.1;

}  // namespace

namespace ApplicationStart {

Failure start(Platform& platform, const std::string& bundle, double nameWaitSeconds) {
  if (auto error = platform.bundles.openApplication(bundle, kStartTimeoutSeconds)) return error;
  int polls = static_cast<int>(nameWaitSeconds / kPollSeconds + 0.5);
  for (int poll = 0; poll < polls; ++poll) {
    if (platform.instances.isRunning(kAppIdentifier)) break;
    platform.clock.sleep(kPollSeconds);
  }
  return std::nullopt;
}

}  // namespace ApplicationStart
