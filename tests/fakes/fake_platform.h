// One fake of every platform service, assembled into a Platform.
#pragma once

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

  Platform platform{preferences,
                    notifications,
                    brightness,
                    logoHardware,
                    displayBrightness,
                    displays,
                    bundles,
                    process,
                    locale,
                    clock,
                    clock,
                    powerSources,
                    session,
                    userActivity,
                    workspace,
                    events,
                    instances,
                    children,
                    files,
                    loginItems,
                    trash,
                    privilegedShell,
                    desktop,
                    preferenceWatch,
                    hotKeys,
                    applicationState,
                    mainLoop};

  FakePlatform() {
    brightness.timeSource = [this] { return clock.now(); };
    userActivity.clock = [this] { return clock.now(); };
  }
};
