#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_platform.h"
#include "maintenance/apple_tables.h"
#include "prefs/app_identifier.h"

namespace {

const BrightnessTable kPlatformMapping = {
    {0, 0}, {0.1, 10}, {20, 30}, {300, 300}, {LogoController::fltMax, 900}};
const BrightnessTable kPlatformMin = {{0, 10}, {100, 100}, {500, 300}, {LogoController::fltMax, 1000}};
const BrightnessTable kPlatformMax = {{0, 200}, {100, 500}, {200, 1000}, {LogoController::fltMax, 1000}};

class AppDelegateTest : public ::testing::Test {
 protected:
  AppDelegateTest() {
    installPlatformState();
    delegate = std::make_shared<AppDelegate>(fake.platform);
    delegate->setRefreshUIHandler([this] { ++refreshes; });
  }

  void installPlatformState() {
    auto& p = fake.brightness.properties;
    p[kMappingKey] = plistFromTable(kPlatformMapping);
    p[kMinRestrictionKey] = plistFromTable(kPlatformMin);
    p[kMaxRestrictionKey] = plistFromTable(kPlatformMax);
    p[kBacklightModeKey] = 2;
    p[kStateKey] = {{"NitsMultiplier", 1.0}, {"FinalNits", 100.0}};
  }

  void store(const std::string& key, const PlistValue& value) {
    fake.preferences.domains[kAppIdentifier][key] = value;
  }
  BrightnessTable installed(const std::string& key) {
    return *tableFromPlist(fake.brightness.properties[key]);
  }
  void install(const std::string& key, const BrightnessTable& table) {
    fake.brightness.properties[key] = plistFromTable(table);
  }
  std::size_t writeCount() const { return fake.brightness.writes.size(); }
  std::vector<PlistValue> modeWrites() const { return fake.brightness.writesOf(kBacklightModeKey); }

  void launch() { delegate->applicationDidFinishLaunching(); }
  void deliverSignal(const PlistDictionary& payload) {
    fake.notifications.deliver(std::string(kAppIdentifier) + ".signal", payload);
  }

  FakePlatform fake;
  std::shared_ptr<AppDelegate> delegate;
  int refreshes = 0;
};

// --- Launch ------------------------------------------------------------------------------------

// Records, across several fakes, the first time each launch step touches the platform.
struct LaunchLog {
  std::vector<std::string> entries;
  // Whether `steps` occur in this order (other entries may come between them).
  ::testing::AssertionResult inOrder(const std::vector<std::string>& steps) const {
    auto cursor = entries.begin();
    for (const auto& step : steps) {
      cursor = std::find(cursor, entries.end(), step);
      if (cursor == entries.end())
        return ::testing::AssertionFailure() << "missing or out of order: " << step;
    }
    return ::testing::AssertionSuccess();
  }
};

class LoggingDomains : public FakePreferenceDomains {
 public:
  explicit LoggingDomains(LaunchLog& log) : log_(log) {}
  std::optional<PlistDictionary> domain(const std::string& name) override {
    log_.entries.push_back("read domain " + name);
    return FakePreferenceDomains::domain(name);
  }
  std::optional<PlistValue> value(const std::string& domain, const std::string& key) override {
    log_.entries.push_back("read " + key);
    return FakePreferenceDomains::value(domain, key);
  }
  void setValue(const std::string& domain, const std::string& key, const PlistValue& value) override {
    log_.entries.push_back("store " + key);
    FakePreferenceDomains::setValue(domain, key, value);
  }

 private:
  LaunchLog& log_;
};

class LoggingHardware : public FakeLogoHardware {
 public:
  explicit LoggingHardware(LaunchLog& log) : log_(log) {}
  bool hasLogoBacklight() override {
    log_.entries.push_back("compatibility check");
    return true;
  }

 private:
  LaunchLog& log_;
};

class LoggingBrightness : public FakeBrightnessClient {
 public:
  explicit LoggingBrightness(LaunchLog& log) : log_(log) {}
  std::optional<bool> setProperty(const PlistValue& value, const std::string& key) override {
    log_.entries.push_back("write " + key);
    return FakeBrightnessClient::setProperty(value, key);
  }

 private:
  LaunchLog& log_;
};

class LoggingEvents : public FakeSystemEvents {
 public:
  explicit LoggingEvents(LaunchLog& log) : log_(log) {}
  bool subscribe(SystemEvent event, std::function<void()> handler) override {
    log_.entries.push_back("subscribe " + std::to_string(static_cast<int>(event)));
    return FakeSystemEvents::subscribe(event, std::move(handler));
  }

 private:
  LaunchLog& log_;
};

class LoggingNotifications : public FakeNotificationCenter {
 public:
  explicit LoggingNotifications(LaunchLog& log) : log_(log) {}
  bool observe(const std::string& name, Handler handler) override {
    log_.entries.push_back("observe " + name);
    return FakeNotificationCenter::observe(name, std::move(handler));
  }

 private:
  LaunchLog& log_;
};

class LoggingClock : public VirtualClock {
 public:
  explicit LoggingClock(LaunchLog& log) : log_(log) {}
  std::shared_ptr<TimerHandle> every(double seconds, std::function<void()> fn) override {
    log_.entries.push_back("every " + std::to_string(static_cast<int>(seconds)));
    return VirtualClock::every(seconds, std::move(fn));
  }

 private:
  LaunchLog& log_;
};

TEST(AppDelegateLaunch, RunsItsStepsInOrder) {
  LaunchLog log;
  FakePlatform fake;
  LoggingDomains domains(log);
  LoggingHardware hardware(log);
  LoggingBrightness brightness(log);
  LoggingEvents events(log);
  LoggingNotifications notifications(log);
  LoggingClock clock(log);
  brightness.properties = {{kBacklightModeKey, 2}, {kStateKey, {{"FinalNits", 5.0}}}};
  for (const auto& key : kTableKeys) brightness.properties[key] = plistFromTable(kPlatformMapping);
  Platform logged{
      domains,       notifications,        brightness,    hardware,          fake.displayBrightness,
      fake.displays, fake.bundles,         fake.process,  fake.locale,       clock,
      clock,         fake.powerSources,    fake.session,  fake.userActivity, fake.workspace,
      events,        fake.instances,       fake.children, fake.files,        fake.loginItems,
      fake.trash,    fake.privilegedShell, fake.desktop,  fake.hotKeys};
  auto delegate = std::make_shared<AppDelegate>(logged);
  delegate->applicationDidFinishLaunching();

  const std::string id = kAppIdentifier;
  std::vector<std::string> steps = {
      "read domain " + id,
      "read welcomeShown",
      "compatibility check",
      "store apple." + std::string(kMappingKey),
      "write " + std::string(kMappingKey),
      "write " + std::string(kBacklightModeKey),
      "subscribe " + std::to_string(static_cast<int>(SystemEvent::didWake)),
      "subscribe " + std::to_string(static_cast<int>(SystemEvent::powerSourceChanged)),
      "observe " + id + ".prefsChanged",
      "observe " + id + ".signal",
      "every 30"};
  EXPECT_TRUE(log.inOrder(steps));
  EXPECT_EQ(AppDelegate::shared().lock(), delegate);
  // The compatibility check wrote the mode it read before anything else was written.
  EXPECT_EQ(brightness.writes.front().key, kBacklightModeKey);
}

TEST(AppDelegateLaunch, IncompatibleMachineIsNeverWrittenOrObserved) {
  for (bool hardwarePresent : {false, true}) {
    FakePlatform machine;
    machine.logoHardware.present = hardwarePresent;  // with hardware but no live state: controls missing
    auto incompatible = std::make_shared<AppDelegate>(machine.platform);
    incompatible->applicationDidFinishLaunching();
    EXPECT_EQ(incompatible->compatibility(), hardwarePresent ? LogoController::Compatibility::controlsMissing
                                                             : LogoController::Compatibility::noLogoHardware);
    incompatible->apply();
    incompatible->toggleLogo();
    incompatible->openURLs({"halomark://signal?message=hi"});
    machine.notifications.deliver(Prefs::signalNotification(), {});
    machine.clock.advance(120);
    incompatible->applicationWillTerminate();

    EXPECT_TRUE(machine.brightness.writes.empty());
    for (const auto& [name, handlers] : machine.notifications.observers)
      EXPECT_TRUE(handlers.empty()) << name;
    EXPECT_TRUE(machine.events.subscriptions.empty());
    EXPECT_EQ(incompatible->attention(), nullptr);
    EXPECT_EQ(AppDelegate::unavailableReason(incompatible->compatibility()),
              hardwarePresent ? "Unavailable \u2014 macOS may have changed. The logo is as macOS set it."
                              : "This Mac doesn't have an illuminated logo");
    for (const auto& key : kTableKeys)
      EXPECT_FALSE(machine.preferences.value(kAppIdentifier, "apple." + key).has_value());
  }
}

TEST_F(AppDelegateTest, SavesThePlatformTablesOnlyAtTheFirstLaunch) {
  launch();
  EXPECT_EQ(*tableFromPlist(*fake.preferences.value(kAppIdentifier, "apple." + std::string(kMappingKey))),
            kPlatformMapping);

  install(kMappingKey, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}});
  auto second = std::make_shared<AppDelegate>(fake.platform);
  second->applicationDidFinishLaunching();
  EXPECT_EQ(*tableFromPlist(*fake.preferences.value(kAppIdentifier, "apple." + std::string(kMappingKey))),
            kPlatformMapping);
}

TEST_F(AppDelegateTest, LaunchAppliesTheStoredSetting) {
  store("setting", "off");
  launch();
  EXPECT_EQ(modeWrites().back(), 0);
  for (const auto& key : kTableKeys)
    EXPECT_EQ(installed(key), Maintenance::appleTable(key, delegate->prefs()));
}

// --- The apply loop ----------------------------------------------------------------------------

TEST_F(AppDelegateTest, DesiredTablesFollowTheSetting) {
  launch();
  for (auto setting : {Setting::automatic(), Setting::off()}) {
    auto tables = delegate->desiredTables(setting);
    EXPECT_EQ(tables[kMappingKey], kPlatformMapping);
    EXPECT_EQ(tables[kMinRestrictionKey], kPlatformMin);
    EXPECT_EQ(tables[kMaxRestrictionKey], kPlatformMax);
  }

  fake.brightness.properties[kStateKey]["NitsMultiplier"] = 2.0;
  auto fixed = delegate->desiredTables(Setting::fixed(100));
  EXPECT_EQ(fixed[kMappingKey], LogoController::flatMapping(50));
  EXPECT_EQ(fixed[kMinRestrictionKey], LogoController::flatRestriction(0));
  EXPECT_EQ(fixed[kMaxRestrictionKey], LogoController::flatRestriction(1000));

  fake.brightness.properties[kStateKey]["NitsMultiplier"] = 0.0;
  EXPECT_EQ(delegate->desiredTables(Setting::fixed(100))[kMappingKey], LogoController::flatMapping(100));

  store("ignoreLimits", false);
  auto limited = delegate->desiredTables(Setting::fixed(100));
  EXPECT_EQ(limited[kMinRestrictionKey], kPlatformMin);
  EXPECT_EQ(limited[kMaxRestrictionKey], kPlatformMax);
}

TEST_F(AppDelegateTest, ApplyWritesTablesModeNudgesAndRefreshes) {
  launch();
  fake.clock.advance(1);
  store("setting", "fixed");
  store("fixedNits", 300.0);
  fake.displayBrightness.sets.clear();
  refreshes = 0;
  delegate->apply();
  EXPECT_EQ(installed(kMappingKey), LogoController::flatMapping(300));
  EXPECT_EQ(modeWrites().back(), 2);
  EXPECT_EQ(fake.displayBrightness.sets.size(), 1u);
  EXPECT_EQ(refreshes, 1);
  fake.clock.advance(0.49);
  EXPECT_EQ(refreshes, 1);
  fake.clock.advance(0.01);
  EXPECT_EQ(refreshes, 2);

  // A rule holding the logo off wins over the stored setting.
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", true}};
  delegate->apply();
  EXPECT_EQ(modeWrites().back(), 0);
  EXPECT_EQ(installed(kMappingKey), kPlatformMapping);
}

TEST_F(AppDelegateTest, ReassertWritesOnlyOutsideTheTolerance) {
  store("setting", "fixed");
  store("fixedNits", 500.0);
  launch();
  const double top = LogoController::fltMax;
  struct Case {
    BrightnessTable mapping;
    bool rewrites;
  };
  std::vector<Case> cases = {
      {{{0, 0}, {0.1, 500.04}, {top, 500}}, false},
      {{{0, 0}, {0.1, 500.06}, {top, 500}}, true},
      {{{0, 0.009}, {0.1, 500}, {top, 500}}, false},
      {{{0, 0.011}, {0.1, 500}, {top, 500}}, true},
      {{{0, 0}, {0.1, 500}}, true},                          // a row missing
      {{{0, 0}, {0.1, 500}, {top, 500}, {top, 500}}, true},  // a row too many
      {{{0, 0}, {0.1, 500, 1}, {top, 500}}, true},           // a row too long
  };
  for (const auto& c : cases) {
    install(kMappingKey, c.mapping);
    auto before = writeCount();
    refreshes = 0;
    delegate->reassertIfNeeded();
    EXPECT_EQ(writeCount() > before, c.rewrites) << c.mapping[1][1] << " / " << c.mapping[0][1];
    if (c.rewrites) {
      EXPECT_EQ(installed(kMappingKey), LogoController::flatMapping(500));
    } else {
      EXPECT_EQ(refreshes, 1);
    }
  }

  fake.brightness.properties.erase(kMaxRestrictionKey);
  auto before = writeCount();
  delegate->reassertIfNeeded();
  EXPECT_GT(writeCount(), before) << "an unreadable table counts as a difference";
}

TEST_F(AppDelegateTest, ReassertComparesTheMode) {
  launch();
  auto before = writeCount();
  delegate->reassertIfNeeded();
  EXPECT_EQ(writeCount(), before);

  fake.brightness.properties[kBacklightModeKey] = 1;
  delegate->reassertIfNeeded();
  EXPECT_EQ(modeWrites().back(), 2);

  fake.brightness.properties.erase(kBacklightModeKey);
  before = writeCount();
  delegate->reassertIfNeeded();
  EXPECT_GT(writeCount(), before);
}

TEST_F(AppDelegateTest, WatchdogRewritesATamperedTableEveryThirtySeconds) {
  launch();
  install(kMinRestrictionKey, {{0, 1}, {1, 1}});
  fake.clock.advance(29.9);
  EXPECT_EQ(installed(kMinRestrictionKey), (BrightnessTable{{0, 1}, {1, 1}}));
  fake.clock.advance(0.1);
  EXPECT_EQ(installed(kMinRestrictionKey), kPlatformMin);

  install(kMinRestrictionKey, {{0, 1}, {1, 1}});
  fake.clock.advance(30);
  EXPECT_EQ(installed(kMinRestrictionKey), kPlatformMin);
}

TEST_F(AppDelegateTest, WatchdogStandsAsideWhileASignalRuns) {
  launch();
  deliverSignal({{"action", "start"}});
  ASSERT_TRUE(delegate->attention()->isActive());
  auto reads = fake.brightness.reads;
  auto writes = writeCount();
  refreshes = 0;
  delegate->reassertIfNeeded();
  EXPECT_EQ(fake.brightness.reads, reads);
  EXPECT_EQ(writeCount(), writes);
  EXPECT_EQ(refreshes, 0);

  // When the signal stops, the effective state comes back at once.
  store("setting", "off");
  deliverSignal({{"action", "stop"}});
  EXPECT_FALSE(delegate->attention()->isActive());
  EXPECT_EQ(modeWrites().back(), 0);
  EXPECT_EQ(installed(kMappingKey), kPlatformMapping);
}

TEST_F(AppDelegateTest, WakeAppliesTwoSecondsLater) {
  launch();
  for (auto event :
       {SystemEvent::didWake, SystemEvent::screensDidWake, SystemEvent::sessionDidBecomeActive}) {
    install(kMappingKey, {{0, 7}, {1, 7}});
    fake.events.deliver(event);
    fake.clock.advance(1.99);
    EXPECT_EQ(installed(kMappingKey), (BrightnessTable{{0, 7}, {1, 7}}));
    fake.clock.advance(0.01);
    EXPECT_EQ(installed(kMappingKey), kPlatformMapping);
  }
}

TEST_F(AppDelegateTest, PowerEventsReassert) {
  launch();
  install(kMappingKey, {{0, 7}, {1, 7}});
  fake.events.deliver(SystemEvent::powerSourceChanged);
  fake.clock.runPending();
  EXPECT_EQ(installed(kMappingKey), kPlatformMapping);
}

TEST_F(AppDelegateTest, PrefsChangedSynchronisesThenApplies) {
  launch();
  store("setting", "off");
  auto synchronised = fake.preferences.synchronizeCount;
  fake.notifications.deliver(Prefs::changedNotification());
  EXPECT_GT(fake.preferences.synchronizeCount, synchronised);
  EXPECT_EQ(modeWrites().back(), 0);
}

// --- Requests ----------------------------------------------------------------------------------

TEST_F(AppDelegateTest, SignalPayloadRules) {
  store("signalStyle", "steady");
  launch();
  Attention& attention = *delegate->attention();
  auto firstLevel = [this](std::size_t from) {
    auto mappings = fake.brightness.writesOf(kMappingKey);
    return (*tableFromPlist(mappings.at(from)))[0][1];
  };

  deliverSignal({});
  EXPECT_TRUE(attention.isActive()) << "no action means start";
  deliverSignal({{"action", "stop"}});
  EXPECT_FALSE(attention.isActive());

  deliverSignal({{"action", 7}, {"message", std::string(200, 'x')}});
  EXPECT_TRUE(attention.isActive()) << "an action that is not a string means start";
  EXPECT_EQ(attention.message(), std::string(80, 'x'));

  deliverSignal({{"action", "STOP"}, {"message", 3}});
  EXPECT_TRUE(attention.isActive()) << "only exactly \"stop\" stops";
  EXPECT_EQ(attention.message(), std::nullopt);
  deliverSignal({{"action", "stop"}});

  auto from = fake.brightness.writesOf(kMappingKey).size();
  deliverSignal({{"style", "double"}});
  EXPECT_DOUBLE_EQ(firstLevel(from), 500) << "\"double\" is no style: the stored steady style is used";
  deliverSignal({{"action", "stop"}});

  from = fake.brightness.writesOf(kMappingKey).size();
  deliverSignal({{"style", "doublePulse"}});
  EXPECT_DOUBLE_EQ(firstLevel(from), 600);
}

TEST_F(AppDelegateTest, UrlCommands) {
  launch();
  Attention& attention = *delegate->attention();

  delegate->openURLs({"halomark://signal/stop/"});
  EXPECT_TRUE(attention.isActive()) << "only /stop exactly stops";
  delegate->openURLs({"halomark://signal/stop"});
  EXPECT_FALSE(attention.isActive());

  delegate->openURLs({"halomark://signal?message=" + std::string(100, 'm'), "halomark://signal/stop"});
  EXPECT_FALSE(attention.isActive()) << "several URLs run in order";

  delegate->openURLs({"halomark://signal?message=" + std::string(100, 'm')});
  EXPECT_EQ(attention.message(), std::string(80, 'm'));
  delegate->openURLs({"halomark://signal/stop"});

  delegate->openURLs({"https://signal?message=x", "halomark://other?message=x", "HALOMARK://signal"});
  EXPECT_FALSE(attention.isActive());

  // Stopping while nothing signals writes nothing.
  auto writes = writeCount();
  delegate->openURLs({"halomark://signal/stop"});
  EXPECT_EQ(writeCount(), writes);
}

// --- Quit and toggle ---------------------------------------------------------------------------

TEST_F(AppDelegateTest, QuitKeepsTheLogoOffOnlyWhenTheStoredSettingIsOff) {
  store("quitBehavior", "keepOff");
  store("setting", "off");
  launch();
  install(kMappingKey, {{0, 7}, {1, 7}});
  delegate->applicationWillTerminate();
  EXPECT_EQ(modeWrites().back(), 0);
  EXPECT_EQ(installed(kMappingKey), kPlatformMapping);

  // Held off by a rule only: the platform's behaviour comes back.
  store("setting", "automatic");
  fake.session.dictionary = PlistValue{{"CGSSessionScreenIsLocked", true}};
  delegate->apply();
  EXPECT_EQ(modeWrites().back(), 0);
  delegate->applicationWillTerminate();
  EXPECT_EQ(modeWrites().back(), 2);

  // During an uninstall the uninstaller has already given the logo back.
  auto writes = writeCount();
  delegate->setUninstalling(true);
  delegate->applicationWillTerminate();
  EXPECT_EQ(writeCount(), writes);
}

TEST_F(AppDelegateTest, QuitRestoresThePlatformBehaviour) {
  store("setting", "fixed");
  store("fixedNits", 80.0);
  launch();
  delegate->applicationWillTerminate();
  for (const auto& key : kTableKeys)
    EXPECT_EQ(installed(key), Maintenance::appleTable(key, delegate->prefs()));
  EXPECT_EQ(modeWrites().back(), 2);
}

TEST_F(AppDelegateTest, ToggleSwitchesBetweenOffAndTheLastOnSetting) {
  launch();
  delegate->prefs().setSetting(Setting::fixed(300));
  delegate->toggleLogo();
  EXPECT_TRUE(delegate->prefs().setting().isOff());
  EXPECT_EQ(modeWrites().back(), 0);
  delegate->toggleLogo();
  EXPECT_EQ(delegate->prefs().setting(), Setting::fixed(300));
  EXPECT_EQ(installed(kMappingKey), LogoController::flatMapping(300));
}

TEST_F(AppDelegateTest, CallbacksDoNothingOnceTheDelegateIsGone) {
  launch();
  fake.events.deliver(SystemEvent::didWake);
  delegate.reset();
  EXPECT_TRUE(AppDelegate::shared().expired());
  auto writes = writeCount();
  fake.notifications.deliver(Prefs::changedNotification());
  fake.notifications.deliver(Prefs::signalNotification(), {});
  fake.clock.advance(60);
  EXPECT_EQ(writeCount(), writes);
}

}  // namespace
