// Every platform service the product uses, bundled so it can be passed down explicitly.
// `main` assembles the real one; tests assemble one from fakes.
// Some payloads (power-source descriptions, the session dictionary, brightness-service properties,
// notification user info) keep the dictionary shapes and key names of the original platform's
// services: the portable rules then read them exactly as they were written against, and each Linux
// adapter translates into that shape at its edge instead of every rule learning a second one.
#pragma once

#include "platform/interfaces/app_instances.h"
#include "platform/interfaces/application_state.h"
#include "platform/interfaces/brightness_client.h"
#include "platform/interfaces/bundles.h"
#include "platform/interfaces/child_processes.h"
#include "platform/interfaces/clock.h"
#include "platform/interfaces/desktop_integration.h"
#include "platform/interfaces/displays.h"
#include "platform/interfaces/files.h"
#include "platform/interfaces/hot_keys.h"
#include "platform/interfaces/locale.h"
#include "platform/interfaces/login_items.h"
#include "platform/interfaces/main_loop.h"
#include "platform/interfaces/notification_center.h"
#include "platform/interfaces/power_sources.h"
#include "platform/interfaces/preference_domains.h"
#include "platform/interfaces/preference_watch.h"
#include "platform/interfaces/privileged_shell.h"
#include "platform/interfaces/process_info.h"
#include "platform/interfaces/scheduler.h"
#include "platform/interfaces/session.h"
#include "platform/interfaces/system_events.h"
#include "platform/interfaces/trash.h"
#include "platform/interfaces/user_activity.h"
#include "platform/interfaces/workspace.h"

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
