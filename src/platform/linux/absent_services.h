// Services this build does not provide yet. Each behaves exactly as the service being missing:
// no information, nothing running, no subscriptions, nothing delivered, every action refused.
#pragma once

#include "platform/app_instances.h"
#include "platform/desktop_integration.h"
#include "platform/displays.h"
#include "platform/login_items.h"
#include "platform/notification_center.h"
#include "platform/power_sources.h"
#include "platform/privileged_shell.h"
#include "platform/session.h"
#include "platform/system_events.h"
#include "platform/trash.h"
#include "platform/workspace.h"

class AbsentPowerSources : public PowerSources {
 public:
  std::optional<PowerSourcesSnapshot> snapshot() override { return std::nullopt; }
  bool lowPowerModeEnabled() override { return false; }
};

class AbsentSession : public Session {
 public:
  std::optional<PlistValue> sessionDictionary() override { return std::nullopt; }
};

class AbsentDisplays : public Displays {
 public:
  std::optional<std::vector<DisplayID>> onlineDisplays(std::size_t) override { return std::nullopt; }
  bool isBuiltIn(DisplayID) override { return false; }
};

class AbsentWorkspace : public Workspace {
 public:
  std::vector<RunningApplication> runningApplications() override { return {}; }
  std::optional<RunningApplication> frontmostApplication() override { return std::nullopt; }
  std::optional<std::string> applicationPath(const std::string&) override { return std::nullopt; }
  std::string displayName(const std::string& path) override {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }
};

class AbsentSystemEvents : public SystemEvents {
 public:
  bool subscribe(SystemEvent, std::function<void()>) override { return false; }
};

class AbsentAppInstances : public AppInstances {
 public:
  bool isRunning(const std::string&) override { return false; }
  // With nothing to register with, no other instance can be seen.
  bool claim(const std::string&) override { return true; }
  void requestQuit(const std::string&) override {}
};

class AbsentNotificationCenter : public NotificationCenter {
 public:
  void post(const std::string&, const std::optional<std::map<std::string, std::string>>&) override {}
  bool observe(const std::string&, Handler) override { return false; }
};

class AbsentLoginItems : public LoginItems {
 public:
  bool isEnabled() override { return false; }
  std::optional<std::string> enable(const std::string&) override { return "login items aren't available"; }
  std::optional<std::string> disable() override { return std::nullopt; }
};

class AbsentTrash : public Trash {
 public:
  std::variant<Trashed, TrashFailure> moveToTrash(const std::string&) override {
    return TrashFailure{"the Trash isn't available"};
  }
};

class AbsentPrivilegedShell : public PrivilegedShell {
 public:
  PrivilegedResult run(const std::string&) override {
    return {PrivilegedResult::Outcome::failed, "administrator rights aren't available"};
  }
};

class AbsentDesktopIntegration : public DesktopIntegration {
 public:
  void install(const std::string&) override {}
  std::vector<std::string> remove() override { return {}; }
};
