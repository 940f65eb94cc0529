// Every platform service the product uses, bundled so it can be passed down explicitly.
// `main` assembles the real one; tests assemble one from fakes.
// Some payloads (power-source descriptions, the session dictionary, brightness-service properties,
// notification user info) keep the dictionary shapes and key names of the original platform's
// services: the portable rules then read them exactly as they were written against, and each Linux
// adapter translates into that shape at its edge instead of every rule learning a second one.
#pragma once

#include "platform/app_instances.h"
#include "platform/application_state.h"
#include "platform/brightness_client.h"
#include "platform/bundles.h"
#include "platform/child_processes.h"
#include "platform/clock.h"
#include "platform/desktop_integration.h"
#include "platform/displays.h"
#include "platform/files.h"
#include "platform/hot_keys.h"
#include "platform/locale.h"
#include "platform/login_items.h"
#include "platform/main_loop.h"
#include "platform/notification_center.h"
#include "platform/power_sources.h"
#include "platform/preference_domains.h"
#include "platform/preference_watch.h"
#include "platform/privileged_shell.h"
#include "platform/process_info.h"
#include "platform/scheduler.h"
#include "platform/session.h"
#include "platform/system_events.h"
#include "platform/trash.h"
#include "platform/user_activity.h"
#include "platform/workspace.h"

struct Platform {
  PreferenceDomains& preferences;
  NotificationCenter& notifications;
  BrightnessClient& brightness;
  LogoHardware& logoHardware;
  DisplayBrightness& displayBrightness;
  Displays& displays;
  Bundles& bundles;
  ProcessInfo& process;
  Locale& locale;
  Clock& clock;
  Scheduler& scheduler;
  PowerSources& powerSources;
  Session& session;
  UserActivity& userActivity;
  Workspace& workspace;
  SystemEvents& events;
  AppInstances& instances;
  ChildProcesses& children;
  Files& files;
  LoginItems& loginItems;
  Trash& trash;
  PrivilegedShell& privilegedShell;
  DesktopIntegration& desktop;
  PreferenceWatch& preferenceWatch;
  HotKeys& hotKeys;
  ApplicationState& applicationState;
  MainLoop& mainLoop;
};
