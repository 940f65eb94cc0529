#include "app/app_delegate.h"

#include <algorithm>
#include <cmath>

#include "app/url_command.h"
#include "automation/automation_rules.h"
#include "automation/event_observation.h"
#include "formats/app_identifier.h"
#include "maintenance/apple_tables.h"
#include "maintenance/uninstall.h"

namespace {

constexpr double kWatchdogSeconds = 30;
constexpr double kWakeDelaySeconds = 2;
constexpr double kLateRefreshSeconds = 0.5;
constexpr double kPreferencesSettleSeconds = 0.2;
constexpr double kWelcomeDelaySeconds = 0.6;
constexpr std::size_t kMessageCharacters = 80;

LogoController::Mode modeFor(const Setting& setting) {
  return setting.isOff() ? LogoController::Mode::off : LogoController::Mode::tableDriven;
}

// Differences this small are the service's rounding, never a reason to write again.
bool matches(double installed, double desired) {
  return std::abs(installed - desired) <= std::max(0.01, std::abs(desired) * 0.0001);
}

bool tablesMatch(const BrightnessTable& installed, const BrightnessTable& desired) {
  if (installed.size() != desired.size()) return false;
  for (std::size_t row = 0; row < desired.size(); ++row) {
    if (installed[row].size() != desired[row].size()) return false;
    for (std::size_t column = 0; column < desired[row].size(); ++column) {
      if (!matches(installed[row][column], desired[row][column])) return false;
    }
  }
  return true;
}

std::optional<std::string> stringMember(const PlistDictionary& dictionary, const std::string& key) {
  auto found = dictionary.find(key);
  if (found == dictionary.end() || !found->second.is_string()) return std::nullopt;
  return found->second.get<std::string>();
}

}  // namespace

AppDelegate::AppDelegate(Platform& platform)
    : platform_(platform),
      logo_(platform),
      prefs_(platform.preferences),
      commands_(prefs_, platform, [this] { apply(); }) {}

AppDelegate::~AppDelegate() = default;

std::weak_ptr<AppDelegate>& AppDelegate::shared() {
  static std::weak_ptr<AppDelegate> delegate;
  return delegate;
}

std::function<void()> AppDelegate::weakly(void (AppDelegate::*member)()) {
  return [weak = weak_from_this(), member] {
    if (auto self = weak.lock()) ((*self).*member)();
  };
}

std::optional<std::string> AppDelegate::unavailableReason(LogoController::Compatibility compatibility) {
  switch (compatibility) {
    case LogoController::Compatibility::noLogoHardware: return "This Mac doesn't have an illuminated logo";
    case LogoController::Compatibility::controlsMissing:
      return "Unavailable \u2014 macOS may have changed. The logo is as macOS set it.";
    case LogoController::Compatibility::ok: break;
  }
  return std::nullopt;
}

void AppDelegate::applicationDidFinishLaunching() {
  shared() = weak_from_this();
  prefs_.migrateLegacyIfNeeded();
  welcomeShown_ = prefs_.value(PrefKeys::welcomeShown);
  compatibility_ = logo_.checkCompatibility();
  // An incompatible machine is left exactly as the platform set it: nothing saved, written or
  // observed. It is still welcomed, with the reason.
  if (compatibility_ != LogoController::Compatibility::ok) {
    if (!welcomeShown_) showWelcome();
    return;
  }
  Maintenance::captureAppleTables(logo_, prefs_);
  apply();
  if (!welcomeShown_) showWelcome();
  observeSystem();
  observeRequests();
  watchdog_ = platform_.scheduler.every(kWatchdogSeconds, weakly(&AppDelegate::reassertIfNeeded));
}

void AppDelegate::showWelcome() {
  if (!welcomeHandler_) return;
  // Stored at once, so a quit before the window opens does not offer it again.
  prefs_.set(PrefKeys::welcomeShown, true);
  prefs_.synchronize();
  platform_.scheduler.after(kWelcomeDelaySeconds, [weak = weak_from_this()] {
    if (auto self = weak.lock(); self && self->welcomeHandler_) self->welcomeHandler_();
  });
}

void AppDelegate::observeSystem() {
  // After a wake the service may still be restoring its own state; write once it has settled.
  auto applySoon = [weak = weak_from_this(), &scheduler = platform_.scheduler] {
    if (auto self = weak.lock()) scheduler.after(kWakeDelaySeconds, self->weakly(&AppDelegate::apply));
  };
  for (auto event : {SystemEvent::didWake, SystemEvent::screensDidWake, SystemEvent::sessionDidBecomeActive})
    platform_.events.subscribe(event, applySoon);
  powerObserver_ = Power::observe(weakly(&AppDelegate::reassertIfNeeded), platform_);
}

void AppDelegate::observeRequests() {
  platform_.notifications.observe(Prefs::changedNotification(), [weak = weak_from_this()](const auto&) {
    if (auto self = weak.lock()) self->preferencesChanged(true);
  });
  // The stored copy is watched too: where no notification service carries the tool's word (a
  // console or ssh login has no session bus), its writes are seen there. A write arrives as several
  // file events: act once they have settled.
  platform_.preferenceWatch.watch(kAppIdentifier, [weak = weak_from_this()] {
    auto self = weak.lock();
    if (!self) return;
    if (self->settlingPreferences_) self->settlingPreferences_->cancel();
    self->settlingPreferences_ = self->platform_.scheduler.after(kPreferencesSettleSeconds, [weak] {
      if (auto self = weak.lock()) self->preferencesChanged(false);
    });
  });
  updateHotKey();
  attention_ = std::make_unique<Attention>(logo_, prefs_, platform_, [weak = weak_from_this()](bool active) {
    auto self = weak.lock();
    if (!self) return;
    if (active) {
      self->refreshUI();
    } else {
      self->apply();
    }
  });
  platform_.notifications.observe(Prefs::signalNotification(),
                                  [weak = weak_from_this()](const PlistDictionary& userInfo) {
                                    if (auto self = weak.lock()) self->handleSignalRequest(userInfo);
                                  });
}

PlistDictionary AppDelegate::logoPreferences() {
  return logoKeys(platform_.preferences.domain(kAppIdentifier).value_or(PlistDictionary{}));
}

void AppDelegate::preferencesChanged(bool announced) {
  prefs_.synchronize();
  // This process's own writes, the keys the logo does not show, and a change that the other road
  // brought first are applied already.
  if (logoPreferences() != appliedPreferences_) {
    apply();
  } else if (announced) {
    reassertIfNeeded();
  }
}

void AppDelegate::handleSignalRequest(const PlistDictionary& userInfo) {
  SignalRequest request;
  if (stringMember(userInfo, "action") == "stop") request.action = SignalRequest::Action::stop;
  request.message = stringMember(userInfo, "message");
  if (auto raw = stringMember(userInfo, "style")) request.style = Prefs::signalStyleFromRaw(*raw);
  requestSignal(request);
}

void AppDelegate::requestSignal(const SignalRequest& request) {
  if (compatibility_ != LogoController::Compatibility::ok || !attention_) return;
  if (request.action == SignalRequest::Action::stop) {
    if (attention_->isActive()) attention_->stop();
    return;
  }
  auto message = request.message;
  if (message) *message = platform_.locale.prefixOfCharacters(*message, kMessageCharacters);
  attention_->start(message, request.style);
  // A renewal with the same style changes only the message, which nothing else reports.
  if (stateListener_) stateListener_();
}

void AppDelegate::applicationWillTerminate() {
  if (compatibility_ != LogoController::Compatibility::ok || uninstalling_) return;
  if (prefs_.quitBehavior() == Prefs::QuitBehavior::keepOff && prefs_.setting().isOff()) {
    for (const auto& key : kTableKeys) logo_.setTable(key, Maintenance::appleTable(key, prefs_));
    logo_.setMode(LogoController::Mode::off);
    return;
  }
  Maintenance::restoreAppleBehavior(logo_, prefs_);
}

AppDelegate::Tables AppDelegate::desiredTables(const Setting& setting) {
  Tables tables;
  if (!setting.isFixed()) {
    for (const auto& key : kTableKeys) tables[key] = Maintenance::appleTable(key, prefs_);
    return tables;
  }
  tables[kMappingKey] = LogoController::flatMapping(logo_.scaled(setting.nits));
  if (prefs_.ignoreLimits()) {
    tables[kMinRestrictionKey] = LogoController::flatRestriction(0);
    tables[kMaxRestrictionKey] = LogoController::flatRestriction(1000);
  } else {
    tables[kMinRestrictionKey] = Maintenance::appleTable(kMinRestrictionKey, prefs_);
    tables[kMaxRestrictionKey] = Maintenance::appleTable(kMaxRestrictionKey, prefs_);
  }
  return tables;
}

Setting AppDelegate::effectiveSetting() { return outlook().effective; }

Power::Outlook AppDelegate::outlook() {
  if (sampled_) return *sampled_;
  return Power::outlook(prefs_, platform_);
}

void AppDelegate::apply() {
  if (compatibility_ != LogoController::Compatibility::ok) return;
  appliedPreferences_ = logoPreferences();
  Power::Outlook now = Power::outlook(prefs_, platform_);
  // While it signals, the attention signal owns the logo; its end applies again.
  if (!isSignaling()) {
    for (const auto& [key, table] : desiredTables(now.effective)) logo_.setTable(key, table);
    logo_.setMode(modeFor(now.effective));
    logo_.nudgeDisplayBrightness();
  }
  platform_.scheduler.after(kLateRefreshSeconds, weakly(&AppDelegate::refreshUI));
  refreshUI(now);
}

void AppDelegate::resetToApple() {
  // A running signal keeps the logo; the apply at its end writes the reset.
  if (isSignaling()) {
    Maintenance::resetPreferences(prefs_);
  } else {
    Maintenance::resetToApple(logo_, prefs_);
  }
  prefs_.synchronize();
  apply();
}

void AppDelegate::reassertIfNeeded() {
  // While it signals, the attention signal owns the logo.
  if (isSignaling()) return;
  Power::Outlook now = Power::outlook(prefs_, platform_);
  for (const auto& [key, desired] : desiredTables(now.effective)) {
    auto installed = logo_.table(key);
    if (!installed || !tablesMatch(*installed, desired)) {
      apply();
      return;
    }
  }
  if (logo_.mode() != modeFor(now.effective)) {
    apply();
    return;
  }
  refreshUI(now);
}

void AppDelegate::refreshUI() {
  if (refreshUIHandler_) refreshUIHandler_();
  if (stateListener_) stateListener_();
}

void AppDelegate::refreshUI(const Power::Outlook& sampled) {
  sampled_ = sampled;
  refreshUI();
  sampled_.reset();
}

void AppDelegate::toggleLogo() { commands_.toggle(); }

void AppDelegate::updateHotKey() {
  // The old registration goes first: a key grab still held would make the new one fail.
  hotKey_.reset();
  if (prefs_.hotKeyEnabled()) hotKey_ = platform_.hotKeys.registerToggle(weakly(&AppDelegate::toggleLogo));
}

void AppDelegate::openURLs(const std::vector<std::string>& urls) {
  for (const auto& url : urls) {
    if (auto command = parseUrlCommand(url)) requestSignal(*command);
  }
}
