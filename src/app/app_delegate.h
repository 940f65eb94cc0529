// The running application: launch and quit, the apply loop that keeps the logo showing the
// effective setting, the notifications from the tool and URL commands. Every door changes the logo
// through its `commands()`, which apply in this process. One delegate exists per process;
// everything runs on the main thread.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/logo_commands.h"
#include "app/signal_request.h"
#include "attention/attention.h"
#include "automation/automation_rules.h"
#include "logo/logo_controller.h"
#include "platform/interfaces/platform.h"
#include "prefs/prefs.h"

class AppDelegate : public std::enable_shared_from_this<AppDelegate> {
 public:
  using Tables = std::map<std::string, BrightnessTable>;

  // Create it with std::make_shared: callbacks hold it weakly and do nothing once it is gone.
  explicit AppDelegate(Platform& platform);
  ~AppDelegate();

  // The running delegate, empty until launch and after the delegate is gone.
  static std::weak_ptr<AppDelegate>& shared();

  void applicationDidFinishLaunching();
  void applicationWillTerminate();
  // URL commands (halomark://signal...), handled in the order given.
  void openURLs(const std::vector<std::string>& urls);
  // Starts or stops the attention signal: the one way every source of requests goes. The message is
  // cut to what the signal shows; nothing happens while the logo cannot be controlled, and a stop
  // with no signal running does nothing.
  void requestSignal(const SignalRequest& request);

  Tables desiredTables(const Setting& setting);
  // Writes the effective setting to the logo, unless an attention signal runs: the signal then keeps
  // the logo, and its end applies again. Refreshes the interface either way.
  void apply();
  void reassertIfNeeded();
  Setting effectiveSetting();
  // The stored setting, the rule in force and the effective setting, from one snapshot of the
  // machine. The refresh that ends an apply sees the snapshot the apply wrote from.
  Power::Outlook outlook();
  // The one road for changes of the logo from every door of this process.
  LogoCommands& commands() { return commands_; }
  void toggleLogo();
  // Holds the toggle's global key combination while "hotKeyEnabled" is on, and releases it at once
  // when it is off; a refused registration leaves it absent until the next call.
  void updateHotKey();
  // The settings window's reset: the automatic setting, the full brightness range and the
  // platform's own tables, then the apply loop.
  void resetToApple();
  bool isSignaling() const { return attention_ && attention_->isActive(); }

  // The menu bar interface re-derives itself from the preferences and the live services; until
  // one is attached nothing needs refreshing.
  void refreshUI();
  void setRefreshUIHandler(std::function<void()> handler) { refreshUIHandler_ = std::move(handler); }
  // Told whenever what the logo shows may have changed: after every apply and check, when a signal
  // starts, renews or stops. Those who publish the state tell a change from a repetition.
  void setStateListener(std::function<void()> listener) { stateListener_ = std::move(listener); }

  // The welcome window, shown once on the first launch with a display. Headless there is no
  // handler, so "welcomeShown" stays false and the first launch with a display still welcomes.
  void setWelcomeHandler(std::function<void()> handler) { welcomeHandler_ = std::move(handler); }
  void showWelcome();

  LogoController::Compatibility compatibility() const { return compatibility_; }
  // Why the logo cannot be controlled, as the status line says it; none when it can.
  static std::optional<std::string> unavailableReason(LogoController::Compatibility compatibility);
  // Whether the welcome window is due, as read at launch before anything else could change it.
  bool welcomeWasShown() const { return welcomeShown_; }
  // Set by the uninstaller, which has already given the logo back: quitting then writes nothing.
  void setUninstalling(bool uninstalling) { uninstalling_ = uninstalling; }
  Attention* attention() { return attention_.get(); }
  bool holdsHotKey() const { return hotKey_ != nullptr; }
  Prefs& prefs() { return prefs_; }
  LogoController& logo() { return logo_; }

 private:
  void observeSystem();
  void observeRequests();
  // Another process announced a change of the preferences, or their stored copy changed: apply
  // what the logo shows of them, once, however many ways the change arrives. An announcement that
  // brings nothing new still has the installed state checked.
  void preferencesChanged(bool announced);
  // The stored keys whose changes the logo shows.
  PlistDictionary logoPreferences();
  void handleSignalRequest(const PlistDictionary& userInfo);
  // Refreshes from a snapshot just taken instead of taking another.
  void refreshUI(const Power::Outlook& sampled);
  // Runs `member` on the delegate if it still exists.
  std::function<void()> weakly(void (AppDelegate::*member)());

  Platform& platform_;
  LogoController logo_;
  Prefs prefs_;
  LogoCommands commands_;
  std::unique_ptr<Attention> attention_;
  std::shared_ptr<TimerHandle> watchdog_;
  std::shared_ptr<TimerHandle> settlingPreferences_;
  // What the last apply wrote from, to tell a change from an echo of one already applied.
  std::optional<PlistDictionary> appliedPreferences_;
  // The snapshot an apply or a check has just taken, while the refresh that ends it runs.
  std::optional<Power::Outlook> sampled_;
  std::shared_ptr<void> powerObserver_;
  std::unique_ptr<HotKeyRegistration> hotKey_;
  std::function<void()> refreshUIHandler_;
  std::function<void()> stateListener_;
  std::function<void()> welcomeHandler_;
  bool welcomeShown_ = false;
  bool uninstalling_ = false;
  LogoController::Compatibility compatibility_ = LogoController::Compatibility::ok;
};
