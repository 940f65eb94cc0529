// The delegate's launch and quit: the order of the launch steps, what an incompatible machine is
// spared, the saved platform tables, and what quitting leaves on the logo.
#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "unit/app/app_delegate_fixture.h"

namespace {

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
  Platform logged = fake.with({.preferences = &domains,
                               .notifications = &notifications,
                               .brightness = &brightness,
                               .logoHardware = &hardware,
                               .clock = &clock,
                               .scheduler = &clock,
                               .events = &events});
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
