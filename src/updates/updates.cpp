#include "updates/updates.h"

#include <algorithm>

#include "maintenance/bundle.h"
#include "prefs/app_identifier.h"

namespace {

// Scheduled checks leave the first minute after launch to the session's start-up and the network.
constexpr double kFirstCheckDelaySeconds = 60;

}  // namespace

Updates::Configuration Updates::configurationFromBundle(Platform& platform) {
  Configuration configuration;
  configuration.feedURL = Maintenance::bundleInfoString(platform, "SUFeedURL").value_or("");
  configuration.version = Maintenance::buildVersion(platform);
  configuration.displayVersion = Maintenance::shortVersion(platform);
  if (auto value = Maintenance::bundleInfoValue(platform, kAutomaticChecksKey); value && value->is_boolean())
    configuration.automaticChecksByDefault = value->get<bool>();
  return configuration;
}

Updates::Updates(Platform& platform, FeedFetcher& fetcher, UpdateUserDriver& driver,
                 Configuration configuration)
    : platform_(platform), fetcher_(fetcher), driver_(&driver), configuration_(std::move(configuration)) {}

Updates::~Updates() {
  *alive_ = false;
  if (timer_) timer_->cancel();
}

void Updates::start() { scheduleNext(platform_.clock.now() + kFirstCheckDelaySeconds); }

void Updates::checkForUpdates() {
  driver_->bringToFront();
  if (!hasFeed()) {
    driver_->showCheck({UpdateCheckState::Kind::noFeed, std::nullopt, ""});
    return;
  }
  userWaiting_ = true;
  driver_->showCheck({});
  fetch();
}

bool Updates::automaticallyChecksForUpdates() const {
  if (!hasFeed()) return false;
  auto stored = platform_.preferences.value(kAppIdentifier, kAutomaticChecksKey);
  if (stored && stored->is_boolean()) return stored->get<bool>();
  return configuration_.automaticChecksByDefault.value_or(true);
}

void Updates::setAutomaticallyChecksForUpdates(bool on) {
  platform_.preferences.setValue(kAppIdentifier, kAutomaticChecksKey, on);
  platform_.preferences.synchronize();
  scheduleNext(platform_.clock.now());
}

std::optional<double> Updates::lastCheckTime() const {
  auto stored = platform_.preferences.value(kAppIdentifier, kLastCheckTimeKey);
  if (!stored || !stored->is_number()) return std::nullopt;
  return stored->get<double>();
}

// One timer at the due time, or none at all while automatic checks are off.
void Updates::scheduleNext(double earliest) {
  if (timer_) timer_->cancel();
  timer_.reset();
  if (!automaticallyChecksForUpdates()) return;
  double now = platform_.clock.now();
  auto last = lastCheckTime();
  // A last check "in the future" means the clock was set back; count from now instead of waiting.
  double due = last ? std::min(*last, now) + kCheckIntervalSeconds : now;
  due = std::max(due, earliest);
  timer_ = platform_.scheduler.after(due - now, [this, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.lock()) runScheduledCheck();
  });
}

void Updates::runScheduledCheck() {
  timer_.reset();
  fetch();
}

// A check already under way answers whoever asked meanwhile: the user's dialog gets its outcome.
void Updates::fetch() {
  if (fetching_) return;
  fetching_ = true;
  // The day between checks counts from this one, whether the user or the schedule asked for it.
  platform_.preferences.setValue(kAppIdentifier, kLastCheckTimeKey, platform_.clock.now());
  platform_.preferences.synchronize();
  FeedFetcher::Request request{configuration_.feedURL, configuration_.timeoutSeconds, kMaxFeedBytes,
                               configuration_.deadlineSeconds};
  fetcher_.fetch(request, [this, alive = std::weak_ptr<bool>(alive_)](FeedFetcher::Result result) {
    if (!alive.lock()) return;
    fetching_ = false;
    auto state = UpdateCheck::evaluate(result, configuration_.version);
    if (userWaiting_) {
      userWaiting_ = false;
      driver_->showCheck(state);
    } else if (state.kind == UpdateCheckState::Kind::updateAvailable) {
      driver_->remindGently(*state.update);
    }
    scheduleNext(platform_.clock.now());
  });
}
