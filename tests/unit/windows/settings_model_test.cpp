#include "windows/settings_model.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hooks/claude_hook.h"
#include "unit/windows/settings_fixture.h"

namespace {

class SettingsModelTest : public ::testing::Test, protected LaunchedApplication {
 protected:
  SettingsModelTest() {
    model->onChange = [this] { ++changes; };
  }

  std::unique_ptr<SettingsModel> makeModel() {
    return std::make_unique<SettingsModel>(*delegate, fake.platform, window.services, links);
  }
  std::size_t modeWrites() const { return fake.brightness.writesOf(kBacklightModeKey).size(); }

  Maintenance::CommandLinkLocations links{tree.path("usr/local/bin/halomark"),
                                          {tree.path("usr/local/bin/halomark")}};
  std::unique_ptr<SettingsModel> model = makeModel();
  int changes = 0;
};

TEST_F(SettingsModelTest, ReadsEveryValueFromItsSourceWithTheStoreDefaults) {
  const auto& v = model->values();
  EXPECT_FALSE(v.launchAtLogin);
  EXPECT_TRUE(v.autoUpdate);
  EXPECT_EQ(v.quitBehavior, Prefs::QuitBehavior::restore);
  EXPECT_TRUE(v.hotKeyEnabled);
  EXPECT_TRUE(v.ignoreLimits);
  EXPECT_TRUE(v.offWhenLocked);
  EXPECT_TRUE(v.offInLowPowerMode);
  EXPECT_FALSE(v.offOnBattery);
  EXPECT_EQ(v.offBelowPercent, 0);
  EXPECT_EQ(v.quietHoursStartHour, 22);
  EXPECT_EQ(v.quietHoursEndHour, 7);
  EXPECT_TRUE(v.offAppBundleIDs.empty());
  EXPECT_EQ(v.signalTimeout, 10);
  EXPECT_FALSE(v.commandInstalled);
  EXPECT_FALSE(v.claudeHookInstalled);
  EXPECT_EQ(model->selectedTab(), SettingsTab::general);

  fake.loginItems.enabled = true;
  window.updater.automatic = false;
  store("quitBehavior", "keepOff");
  store("offBelowPercent", 40);
  store("offAppBundleIDs", {"org.gnome.Calculator", "vlc"});
  store("signalStyle", "steady");
  tree.makeLink("usr/local/bin/halomark", bundle + "/Contents/MacOS/Halomark");
  model->reload();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(v.launchAtLogin);
  EXPECT_FALSE(v.autoUpdate);
  EXPECT_EQ(v.quitBehavior, Prefs::QuitBehavior::keepOff);
  EXPECT_EQ(v.offBelowPercent, 40);
  EXPECT_EQ(v.offAppBundleIDs, (std::vector<std::string>{"org.gnome.Calculator", "vlc"}));
  EXPECT_EQ(v.signalStyle, Prefs::SignalStyle::steady);
  EXPECT_TRUE(v.commandInstalled);

  // Nothing changed, so nothing is redrawn.
  model->reload();
  EXPECT_EQ(changes, 1);
}

TEST_F(SettingsModelTest, TimeoutBelowOneMinuteReadsAsTen) {
  for (PlistValue stored : {PlistValue(0), PlistValue(-5)}) {
    store("signalTimeoutMinutes", stored);
    model->reload();
    EXPECT_EQ(model->values().signalTimeout, 10) << stored;
  }
  store("signalTimeoutMinutes", 15);
  model->reload();
  EXPECT_EQ(model->values().signalTimeout, 15);
}

TEST_F(SettingsModelTest, RuleWritesSynchroniseThenApplyThenReload) {
  // Record, at each apply (which ends in refreshing the interface), what the model had seen by then.
  std::vector<std::string> log;
  delegate->setRefreshUIHandler([&] {
    log.push_back("apply after " + std::to_string(fake.preferences.synchronizeCount) + " sync, battery " +
                  (model->values().offOnBattery ? "on" : "off"));
  });
  model->onChange = [&] {
    log.push_back(std::string("reload, battery ") + (model->values().offOnBattery ? "on" : "off"));
  };
  int syncsBefore = fake.preferences.synchronizeCount;
  model->setOffOnBattery(true);
  EXPECT_EQ(stored("offOnBattery"), true);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], "apply after " + std::to_string(syncsBefore + 1) + " sync, battery off");
  EXPECT_EQ(log[1], "reload, battery on");
}

TEST_F(SettingsModelTest, EachRuleControlWritesItsKeyAndApplies) {
  auto before = modeWrites();
  model->setOffWhenLocked(false);
  model->setOffInLowPowerMode(false);
  model->setOffWithExternalDisplay(true);
  model->setOffBelowPercent(30);
  model->setOffAppsFrontmostOnly(true);
  model->setIgnoreLimits(false);
  model->setQuietHoursAction(Prefs::QuietHoursAction::dim);
  EXPECT_EQ(modeWrites(), before + 7);
  EXPECT_EQ(stored("offWhenLocked"), false);
  EXPECT_EQ(stored("offInLowPowerMode"), false);
  EXPECT_EQ(stored("offWithExternalDisplay"), true);
  EXPECT_EQ(stored("offBelowPercent"), 30);
  EXPECT_EQ(stored("offAppsFrontmostOnly"), true);
  EXPECT_EQ(stored("ignoreLimits"), false);
  EXPECT_EQ(stored("quietHoursAction"), "dim");
  const auto& v = model->values();
  EXPECT_FALSE(v.offWhenLocked);
  EXPECT_EQ(v.offBelowPercent, 30);
  EXPECT_EQ(v.quietHoursAction, Prefs::QuietHoursAction::dim);
}

TEST_F(SettingsModelTest, WritesThatNeedNoApplyOrNoReload) {
  auto before = modeWrites();
  int syncs = fake.preferences.synchronizeCount;
  model->setQuitBehavior(Prefs::QuitBehavior::keepOff);
  EXPECT_EQ(stored("quitBehavior"), "keepOff");
  EXPECT_EQ(model->values().quitBehavior, Prefs::QuitBehavior::keepOff);

  // These set the value directly: a store edited behind the model's back stays unseen.
  store("offOnBattery", true);
  model->setSignalKeepDisplayOn(false);
  model->setSignalTimeout(30);
  EXPECT_EQ(stored("signalKeepDisplayOn"), false);
  EXPECT_EQ(stored("signalTimeoutMinutes"), 30);
  EXPECT_FALSE(model->values().signalKeepDisplayOn);
  EXPECT_EQ(model->values().signalTimeout, 30);
  EXPECT_FALSE(model->values().offOnBattery);

  model->setSignalStyle(Prefs::SignalStyle::doublePulse);
  EXPECT_EQ(stored("signalStyle"), "doublePulse");
  EXPECT_EQ(modeWrites(), before);
  EXPECT_EQ(fake.preferences.synchronizeCount, syncs);
}

TEST_F(SettingsModelTest, HoursAreClampedToTheDay) {
  model->setQuietHoursStartHour(25);
  model->setQuietHoursEndHour(-1);
  EXPECT_EQ(stored("quietHoursStartHour"), 23);
  EXPECT_EQ(stored("quietHoursEndHour"), 0);
  EXPECT_EQ(model->values().quietHoursStartHour, 23);
  EXPECT_EQ(model->values().quietHoursEndHour, 0);
  model->setQuietHoursStartHour(6);
  EXPECT_EQ(stored("quietHoursStartHour"), 6);
}

TEST_F(SettingsModelTest, QuietHoursAndAppListChangesRefitTheWindow) {
  int layouts = 0;
  model->onLayoutChange = [&] {
    ++layouts;
    // The window measures content that already shows the change.
    EXPECT_TRUE(model->values().quietHoursEnabled);
  };
  model->setQuietHoursEnabled(true);
  EXPECT_EQ(stored("quietHoursEnabled"), true);
  model->addApps({"vlc"});
  model->removeApp("vlc");
  EXPECT_EQ(layouts, 3);
  // Choosing nothing (a cancelled chooser) changes nothing.
  model->addApps({});
  EXPECT_EQ(layouts, 3);
}

TEST_F(SettingsModelTest, AppsAreAddedOnceInChosenOrderAndRemovedEverywhere) {
  store("offAppBundleIDs", {"vlc"});
  model->addApps({"org.gnome.Calculator", "vlc", "", "firefox", "org.gnome.Calculator"});
  EXPECT_EQ(stored("offAppBundleIDs"), PlistValue({"vlc", "org.gnome.Calculator", "firefox"}));
  EXPECT_EQ(model->values().offAppBundleIDs,
            (std::vector<std::string>{"vlc", "org.gnome.Calculator", "firefox"}));

  store("offAppBundleIDs", {"vlc", "firefox", "vlc"});
  model->removeApp("vlc");
  EXPECT_EQ(stored("offAppBundleIDs"), PlistValue({"firefox"}));
}

TEST_F(SettingsModelTest, AppRowsShowTheDesktopsNameAndIcon) {
  window.installedApps.apps = {{"org.gnome.Calculator", "Calculator", "accessories-calculator"}};
  fake.workspace.installed["org.gnome.Calculator"] = "/usr/share/applications/org.gnome.Calculator.desktop";
  fake.workspace.displayNames["/usr/share/applications/org.gnome.Calculator.desktop"] = "Calculator";
  model->addApps({"org.gnome.Calculator", "com.example.Gone"});
  auto rows = model->appRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "Calculator");
  EXPECT_EQ(rows[0].icon, "accessories-calculator");
  // Not installed: the last part of the id, and the generic icon.
  EXPECT_EQ(rows[1].id, "com.example.Gone");
  EXPECT_EQ(rows[1].name, "Gone");
  EXPECT_EQ(rows[1].icon, "");
}

TEST_F(SettingsModelTest, CopiedShowsForOnePointEightSecondsAfterEachCopy) {
  model->copyRunCommand();
  EXPECT_EQ(window.clipboard.texts, (std::vector<std::string>{"halomark run -- "}));
  EXPECT_TRUE(model->values().copiedRunCommand);
  fake.clock.advance(1.0);
  model->copyRunCommand();
  // The first copy's reset still runs: "Copied" may end early.
  fake.clock.advance(0.8);
  EXPECT_FALSE(model->values().copiedRunCommand);
  fake.clock.advance(1.1);
  model->copyRunCommand();
  fake.clock.advance(1.79);
  EXPECT_TRUE(model->values().copiedRunCommand);
  fake.clock.advance(0.02);
  EXPECT_FALSE(model->values().copiedRunCommand);

  // A reset that falls due after the window's model is gone does nothing.
  model->copyRunCommand();
  model.reset();
  fake.clock.advance(2);
}

TEST_F(SettingsModelTest, ARefusedLoginItemBeepsAndSpringsBack) {
  model->setLaunchAtLogin(true);
  EXPECT_TRUE(model->values().launchAtLogin);
  EXPECT_EQ(fake.loginItems.enabledWith, (std::vector<std::string>{bundle + "/Contents/MacOS/Halomark"}));
  EXPECT_EQ(window.alertSound.beeps, 0);

  fake.loginItems.failure = "Permission denied";
  model->setLaunchAtLogin(false);
  EXPECT_EQ(window.alertSound.beeps, 1);
  EXPECT_TRUE(model->values().launchAtLogin);
}

TEST_F(SettingsModelTest, HotKeyAndUpdaterFlagsGoToTheirOwners) {
  model->setHotKeyEnabled(false);
  EXPECT_EQ(stored("hotKeyEnabled"), false);
  EXPECT_EQ(window.hotKeyUpdates, 1);
  EXPECT_FALSE(model->values().hotKeyEnabled);

  model->setAutoUpdate(false);
  EXPECT_FALSE(window.updater.automatic);
  EXPECT_FALSE(model->values().autoUpdate);
  EXPECT_FALSE(has("autoUpdate"));
}

TEST_F(SettingsModelTest, SignalStyleRestartsOnlyARunningSignal) {
  model->setSignalStyle(Prefs::SignalStyle::steady);
  EXPECT_FALSE(delegate->attention()->isActive());

  model->toggleTestSignal();
  EXPECT_TRUE(model->values().isSignaling);
  EXPECT_EQ(delegate->attention()->message(), "Test");
  model->setSignalStyle(Prefs::SignalStyle::doublePulse);
  EXPECT_TRUE(delegate->attention()->isActive());
  EXPECT_EQ(model->values().signalStyle, Prefs::SignalStyle::doublePulse);

  model->toggleTestSignal();
  EXPECT_FALSE(delegate->attention()->isActive());
  EXPECT_FALSE(model->values().isSignaling);
}

TEST_F(SettingsModelTest, ClaudeCodeHooksInstallRemoveAndReportErrors) {
  model->setClaudeHook(true);
  EXPECT_TRUE(model->values().claudeHookInstalled);
  EXPECT_FALSE(model->values().claudeHookError);
  EXPECT_TRUE(ClaudeHook::isInstalled(tree.path("home")));

  fake.files.failWith = "No space left on device";
  model->setClaudeHook(false);
  ASSERT_TRUE(model->values().claudeHookError);
  EXPECT_NE(model->values().claudeHookError->find("No space left on device"), std::string::npos);
  EXPECT_TRUE(model->values().claudeHookInstalled);

  // The next attempt clears the old error.
  fake.files.failWith.reset();
  model->setClaudeHook(false);
  EXPECT_FALSE(model->values().claudeHookError);
  EXPECT_FALSE(model->values().claudeHookInstalled);
}

TEST_F(SettingsModelTest, WithoutABundleTheCommandAndHooksDoNothing) {
  fake.bundles.mainIdentifier.reset();
  fake.process.args = {"/usr/bin/halomark-elsewhere"};
  model->toggleCommandInstalled();
  model->setClaudeHook(true);
  EXPECT_FALSE(std::filesystem::exists(tree.path("usr/local/bin/halomark")));
  EXPECT_FALSE(model->values().claudeHookInstalled);
  EXPECT_FALSE(model->values().claudeHookError);
  EXPECT_FALSE(model->values().commandError);
}

TEST_F(SettingsModelTest, CommandLinkInstallsRemovesAndKeepsItsError) {
  model->toggleCommandInstalled();
  EXPECT_TRUE(model->values().commandInstalled);
  EXPECT_EQ(std::filesystem::read_symlink(tree.path("usr/local/bin/halomark")),
            bundle + "/Contents/MacOS/Halomark");
  model->toggleCommandInstalled();
  EXPECT_FALSE(model->values().commandInstalled);

  // A foreign file in the way is never replaced, and the user is told why.
  tree.makeFile("usr/local/bin/halomark", "someone else's\n");
  model->toggleCommandInstalled();
  EXPECT_FALSE(model->values().commandInstalled);
  EXPECT_TRUE(model->values().commandError);
  std::filesystem::remove(tree.path("usr/local/bin/halomark"));
  model->toggleCommandInstalled();
  EXPECT_FALSE(model->values().commandError);
}

TEST_F(SettingsModelTest, ResetGoesBackToAutomaticAndShowsIt) {
  store("setting", "off");
  store("ignoreLimits", false);
  model->reload();
  model->resetToApple();
  EXPECT_EQ(stored("setting"), "automatic");
  EXPECT_TRUE(model->values().ignoreLimits);
}

TEST_F(SettingsModelTest, TabSelectionTellsTheWindowOnlyOnChange) {
  std::vector<SettingsTab> told;
  model->onTabChange = [&](SettingsTab tab) { told.push_back(tab); };
  model->selectTab(SettingsTab::general);
  model->selectTab(SettingsTab::automation);
  model->selectTab(SettingsTab::automation);
  EXPECT_EQ(told, (std::vector<SettingsTab>{SettingsTab::automation}));
  EXPECT_EQ(model->selectedTab(), SettingsTab::automation);
}

TEST(SettingsTabTest, TitlesAndToolbarIdentifiers) {
  EXPECT_EQ(title(SettingsTab::general), "General");
  EXPECT_EQ(title(SettingsTab::automation), "Automation");
  EXPECT_EQ(title(SettingsTab::signals), "Signals");
  EXPECT_EQ(toolbarID(SettingsTab::automation), "halomark.settings.automation");
  EXPECT_EQ(tabForToolbarID("halomark.settings.signals"), SettingsTab::signals);
  EXPECT_EQ(tabForToolbarID("halomark.settings.other"), std::nullopt);
}

}  // namespace
