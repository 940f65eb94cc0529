// One instance of every Linux service, assembled into the Platform the product runs on.
// Constructing it does no I/O beyond reading the environment: services reach files, buses and
// devices on first use, so a short tool invocation pays only for what its command needs.
#pragma once

#include <string>
#include <vector>

#include "platform/devices/emulated/emulated_logo_device.h"
#include "platform/devices/leds/led_logo_device.h"
#include "platform/devices/leds/logo_device_choice.h"
#include "platform/interfaces/platform.h"
#include "platform/linux_services/app_instances_linux.h"
#include "platform/linux_services/application_state_linux.h"
#include "platform/linux_services/bundles_linux.h"
#include "platform/linux_services/child_processes_linux.h"
#include "platform/linux_services/clock_linux.h"
#include "platform/linux_services/desktop_integration_linux.h"
#include "platform/linux_services/displays_linux.h"
#include "platform/linux_services/files_linux.h"
#include "platform/linux_services/hot_keys_linux.h"
#include "platform/linux_services/instance_guard_linux.h"
#include "platform/linux_services/locale_linux.h"
#include "platform/linux_services/login_items_linux.h"
#include "platform/linux_services/main_loop_linux.h"
#include "platform/linux_services/notification_center_linux.h"
#include "platform/linux_services/power_sources_linux.h"
#include "platform/linux_services/preference_domains_linux.h"
#include "platform/linux_services/preference_watch_linux.h"
#include "platform/linux_services/privileged_shell_linux.h"
#include "platform/linux_services/process_info_linux.h"
#include "platform/linux_services/scheduler_linux.h"
#include "platform/linux_services/session_linux.h"
#include "platform/linux_services/system_events_linux.h"
#include "platform/linux_services/trash_linux.h"
#include "platform/linux_services/user_activity_linux.h"
#include "platform/linux_services/workspace_linux.h"

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
