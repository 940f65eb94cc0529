// One fake of every platform service, assembled into a Platform.
#pragma once

#include <type_traits>

#include "fakes/fake_automation.h"
#include "fakes/fake_hot_keys.h"
#include "fakes/fake_logo_service.h"
#include "fakes/fake_main_loop.h"
#include "fakes/fake_maintenance.h"
#include "fakes/fake_notification_center.h"
#include "fakes/fake_preference_domains.h"
#include "fakes/fake_preference_watch.h"
#include "fakes/fake_system.h"
#include "fakes/virtual_clock.h"
#include "platform/interfaces/platform.h"

// The services a test puts in place of the fakes; the fake stands wherever none is given.
struct PlatformReplacements {
  PreferenceDomains* preferences = nullptr;
  NotificationCenter* notifications = nullptr;
  BrightnessClient* brightness = nullptr;
  LogoHardware* logoHardware = nullptr;
  DisplayBrightness* displayBrightness = nullptr;
  Displays* displays = nullptr;
  Bundles* bundles = nullptr;
  ProcessInfo* process = nullptr;
  Locale* locale = nullptr;
  Clock* clock = nullptr;
  Scheduler* scheduler = nullptr;
  PowerSources* powerSources = nullptr;
  Session* session = nullptr;
  UserActivity* userActivity = nullptr;
  Workspace* workspace = nullptr;
  SystemEvents* events = nullptr;
  AppInstances* instances = nullptr;
  ChildProcesses* children = nullptr;
  Files* files = nullptr;
  LoginItems* loginItems = nullptr;
  Trash* trash = nullptr;
  PrivilegedShell* privilegedShell = nullptr;
  DesktopIntegration* desktop = nullptr;
  PreferenceWatch* preferenceWatch = nullptr;
  HotKeys* hotKeys = nullptr;
  ApplicationState* applicationState = nullptr;
  MainLoop* mainLoop = nullptr;
};

struct FakePlatform {
  FakePreferenceDomains preferences;
  FakeNotificationCenter notifications;
  FakeBrightnessClient brightness;
  FakeLogoHardware logoHardware;
  FakeDisplayBrightness displayBrightness;
  FakeDisplays displays;
  FakeBundles bundles;
  FakeProcessInfo process;
  FakeLocale locale;
  VirtualClock clock;
  FakePowerSources powerSources;
  FakeSession session;
  FakeUserActivity userActivity;
  FakeWorkspace workspace;
  FakeSystemEvents events;
  FakeAppInstances instances;
  FakeChildProcesses children;
  FakeFiles files;
  FakeLoginItems loginItems;
  FakeTrash trash;
  FakePrivilegedShell privilegedShell;
  FakeDesktopIntegration desktop;
  FakePreferenceWatch preferenceWatch;
  FakeHotKeys hotKeys;
  FakeApplicationState applicationState;
  FakeMainLoop mainLoop;

  Platform platform = with({});

  // A platform of these fakes but for the test's own services, e.g. `f.with({.powerSources = &linux})`.
  Platform with(const PlatformReplacements& mine) {
    auto pick = [](auto* replacement, auto& fake) -> std::remove_pointer_t<decltype(replacement)>& {
      if (replacement) return *replacement;
      return fake;
    };
    return Platform{pick(mine.preferences, preferences),
                    pick(mine.notifications, notifications),
                    pick(mine.brightness, brightness),
                    pick(mine.logoHardware, logoHardware),
                    pick(mine.displayBrightness, displayBrightness),
                    pick(mine.displays, displays),
                    pick(mine.bundles, bundles),
                    pick(mine.process, process),
                    pick(mine.locale, locale),
                    pick(mine.clock, clock),
                    pick(mine.scheduler, clock),
                    pick(mine.powerSources, powerSources),
                    pick(mine.session, session),
                    pick(mine.userActivity, userActivity),
                    pick(mine.workspace, workspace),
                    pick(mine.events, events),
                    pick(mine.instances, instances),
                    pick(mine.children, children),
                    pick(mine.files, files),
                    pick(mine.loginItems, loginItems),
                    pick(mine.trash, trash),
                    pick(mine.privilegedShell, privilegedShell),
                    pick(mine.desktop, desktop),
                    pick(mine.preferenceWatch, preferenceWatch),
                    pick(mine.hotKeys, hotKeys),
                    pick(mine.applicationState, applicationState),
                    pick(mine.mainLoop, mainLoop)};
  }

  FakePlatform() {
    brightness.timeSource = [this] { return clock.now(); };
    userActivity.clock = [this] { return clock.now(); };
  }
};
