// The updater: checks the release feed named in the bundle's Info.plist, when the user asks (with
// its own dialog) and on a schedule (at most once a day, a found release shown as a gentle
// reminder). It never installs anything: a release is downloaded from its page in the browser.
// Its flag and last check time live under its own keys in the application's preference domain.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/feed_fetcher.h"
#include "platform/platform.h"
#include "updates/update_check.h"
#include "updates/updater.h"

// Where the updater shows itself; the interface layer implements it.
class UpdateUserDriver {
 public:
  virtual ~UpdateUserDriver() = default;
  virtual void bringToFront() = 0;
  // Opens the update dialog, or brings the open one up to date.
  virtual void showCheck(const UpdateCheckState& state) = 0;
  // A scheduled check found a release: say so without taking the focus.
  virtual void remindGently(const AppcastItem& update) = 0;
};

class Updates : public Updater {
 public:
  struct Configuration {
    std::string feedURL;  // empty: this build does not look for updates itself
    std::string version;  // CFBundleVersion, compared with the feed's versions
    std::string displayVersion;
    std::optional<bool> automaticChecksByDefault;  // SUEnableAutomaticChecks, when the bundle sets it
    double timeoutSeconds = 30;                    // of silence from the server
    double deadlineSeconds = 60;                   // for the whole check
  };

  static constexpr double kCheckIntervalSeconds = 24 * 60 * 60;
  static constexpr std::size_t kMaxFeedBytes = 1024 * 1024;
  static constexpr const char* kAutomaticChecksKey = "SUEnableAutomaticChecks";
  static constexpr const char* kLastCheckTimeKey = "SULastCheckTime";

  // The feed address, versions and default from the application bundle's Info.plist.
  static Configuration configurationFromBundle(Platform& platform);

  Updates(Platform& platform, FeedFetcher& fetcher, UpdateUserDriver& driver, Configuration configuration);
  ~Updates();

  // Arms the scheduled checks; called once, early in launch.
  void start();
  // The menu's "Check for Updates…": comes to the front and shows the dialog with the outcome.
  void checkForUpdates();

  // The interface, once it has a window for the updater, takes over from the notifications.
  void setUserDriver(UpdateUserDriver& driver) { driver_ = &driver; }
  UpdateUserDriver& userDriver() { return *driver_; }

  bool hasFeed() const { return !configuration_.feedURL.empty(); }
  // Off, whatever is stored, in a build without a feed.
  bool automaticallyChecksForUpdates() const override;
  void setAutomaticallyChecksForUpdates(bool on) override;

  // Found releases of scheduled checks are reminders, never windows that take the focus.
  static constexpr bool supportsGentleScheduledUpdateReminders() { return true; }
  const Configuration& configuration() const { return configuration_; }

 private:
  void scheduleNext(double earliest);
  void runScheduledCheck();
  void fetch();
  std::optional<double> lastCheckTime() const;

  Platform& platform_;
  FeedFetcher& fetcher_;
  UpdateUserDriver* driver_;
  Configuration configuration_;
  std::shared_ptr<TimerHandle> timer_;
  // Outlives neither the updater nor a fetch in flight: answers arriving after it is gone are dropped.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool fetching_ = false;
  bool userWaiting_ = false;
};
