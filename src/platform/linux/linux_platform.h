// One instance of every Linux service, assembled into the Platform the product runs on.
// Constructing it does no I/O beyond reading the environment: services reach files, buses and
// devices on first use, so a short tool invocation pays only for what its command needs.
#pragma once

#include <string>
#include <vector>

#include "platform/emulated/emulated_logo_device.h"
#include "platform/leds/led_logo_device.h"
#include "platform/leds/logo_device_choice.h"
#include "platform/linux/app_instances_linux.h"
#include "platform/linux/application_state_linux.h"
#include "platform/linux/bundles_linux.h"
#include "platform/linux/child_processes_linux.h"
#include "platform/linux/clock_linux.h"
#include "platform/linux/desktop_integration_linux.h"
#include "platform/linux/displays_linux.h"
#include "platform/linux/files_linux.h"
#include "platform/linux/hot_keys_linux.h"
#include "platform/linux/instance_guard_linux.h"
#include "platform/linux/locale_linux.h"
#include "platform/linux/login_items_linux.h"
#include "platform/linux/main_loop_linux.h"
#include "platform/linux/notification_center_linux.h"
#include "platform/linux/power_sources_linux.h"
#include "platform/linux/preference_domains_linux.h"
#include "platform/linux/preference_watch_linux.h"
#include "platform/linux/privileged_shell_linux.h"
#include "platform/linux/process_info_linux.h"
#include "platform/linux/scheduler_linux.h"
#include "platform/linux/session_linux.h"
#include "platform/linux/system_events_linux.h"
#include "platform/linux/trash_linux.h"
#include "platform/linux/user_activity_linux.h"
#include "platform/linux/workspace_linux.h"
#include "platform/platform.h"

class LinuxPlatform {
 public:
  LinuxPlatform(int argc, char** argv);
  LinuxPlatform(const LinuxPlatform&) = delete;
  LinuxPlatform& operator=(const LinuxPlatform&) = delete;

  Platform& platform() { return platform_; }

 private:
  std::vector<std::string> arguments_;
  std::vector<char*> argv_;
  LinuxProcessInfo process_;
  LinuxInstanceGuard guard_;
  LinuxPreferenceDomains preferences_;
  LinuxFiles files_;
  LinuxLocale locale_;
  LinuxBundles bundles_;
  EmulatedLogoDevice device_;
  LinuxClock clock_;
  LinuxScheduler scheduler_;
  LinuxNotificationCenter notifications_;
  LinuxDisplays displays_;
  LinuxPowerSources powerSources_;
  LinuxSession session_;
  LinuxUserActivity userActivity_;
  LinuxWorkspace workspace_;
  LinuxSystemEvents events_;
  LinuxAppInstances instances_;
  LinuxChildProcesses children_;
  LinuxLoginItems loginItems_;
  LinuxTrash trash_;
  LinuxPrivilegedShell privilegedShell_;
  LinuxDesktopIntegration desktop_;
  LedLogoDevice light_;
  LogoDeviceChoice logoDevice_;
  LinuxPreferenceWatch preferenceWatch_;
  LinuxHotKeys hotKeys_;
  LinuxApplicationState applicationState_;
  LinuxMainLoop mainLoop_;
  Platform platform_;
};
