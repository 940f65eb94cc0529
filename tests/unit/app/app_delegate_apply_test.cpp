// The apply loop: the tables and mode for each setting, the watchdog and its tolerance, and the
// events, preference changes and toggle that run it.
#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include "unit/app/app_delegate_fixture.h"

namespace {

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

// Without a session bus no notification arrives: the application sees the tool's write in the
// preference file and applies it once the burst of file events has settled.
TEST_F(AppDelegateTest, AChangedPreferenceFileIsAppliedOnceSettled) {
  fake.notifications.available = false;
  launch();
  ASSERT_EQ(fake.preferenceWatch.handlers[kAppIdentifier].size(), 1u);
  store("setting", "off");
  auto writes = modeWrites().size();
  auto synchronised = fake.preferences.synchronizeCount;
  fake.preferenceWatch.changed(kAppIdentifier);
  fake.clock.advance(0.15);
  fake.preferenceWatch.changed(kAppIdentifier);
  fake.clock.advance(0.15);
  EXPECT_EQ(modeWrites().size(), writes) << "still settling";
  fake.clock.advance(0.05);
  ASSERT_EQ(modeWrites().size(), writes + 1) << "one apply for the burst";
  EXPECT_EQ(modeWrites().back(), 0);
  EXPECT_GT(fake.preferences.synchronizeCount, synchronised);

  // A file event that brings nothing new (this process's own write, say) writes nothing.
  fake.preferenceWatch.changed(kAppIdentifier);
  fake.clock.advance(1);
  EXPECT_EQ(modeWrites().size(), writes + 1);

  // Gone delegate: a late file event does nothing.
  store("setting", "automatic");
  fake.preferenceWatch.changed(kAppIdentifier);
  delegate.reset();
  fake.clock.advance(1);
  EXPECT_EQ(modeWrites().size(), writes + 1);
}

TEST_F(AppDelegateTest, AChangeTheNotificationAppliedIsNotWrittenAgain) {
  launch();
  store("setting", "off");
  fake.preferenceWatch.changed(kAppIdentifier);
  fake.notifications.deliver(Prefs::changedNotification());
  auto writes = modeWrites().size();
  EXPECT_EQ(modeWrites().back(), 0);
  fake.clock.advance(1);
  EXPECT_EQ(modeWrites().size(), writes);
}

// The application's own writes, and keys the logo does not show, come back through the watch but
// never as an apply; a change that arrives by notification and by the watch is applied once.
TEST_F(AppDelegateTest, EchoesOfChangesAlreadyAppliedWriteNothing) {
  launch();
  auto writes = modeWrites().size();
  for (const char* key : {"signalStyle", "signalKeepDisplayOn", "signalTimeoutMinutes", "quitBehavior",
                          "welcomeShown", "SUEnableAutomaticChecks"}) {
    store(key, "changed");
    fake.preferenceWatch.changed(kAppIdentifier);
    fake.clock.advance(1);
    fake.notifications.deliver(Prefs::changedNotification());
    EXPECT_EQ(modeWrites().size(), writes) << key;
  }

  delegate->commands().set(Setting::fixed(80));
  ASSERT_EQ(modeWrites().size(), writes + 1);
  fake.preferenceWatch.changed(kAppIdentifier);
  fake.clock.advance(1);
  EXPECT_EQ(modeWrites().size(), writes + 1) << "its own write";

  store("setting", "off");
  fake.preferenceWatch.changed(kAppIdentifier);
  fake.clock.advance(1);
  fake.notifications.deliver(Prefs::changedNotification());
  EXPECT_EQ(modeWrites().size(), writes + 2) << "the watch first, then the notification: one apply";
}

TEST_F(AppDelegateTest, ANotificationThatBringsNothingNewChecksTheInstalledStateOnly) {
  launch();
  auto writes = fake.brightness.writes.size();
  int refreshed = refreshes;
  fake.notifications.deliver(Prefs::changedNotification());
  EXPECT_EQ(fake.brightness.writes.size(), writes);
  EXPECT_GT(refreshes, refreshed);
  install(kMappingKey, {{0, 7}, {1, 7}});
  fake.notifications.deliver(Prefs::changedNotification());
  EXPECT_EQ(installed(kMappingKey), kPlatformMapping) << "a tampered table is put back";
}

}  // namespace
