// Fakes for power sources, the session, user activity, the workspace and system events.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/interfaces/power_sources.h"
#include "platform/interfaces/session.h"
#include "platform/interfaces/system_events.h"
#include "platform/interfaces/user_activity.h"
#include "platform/interfaces/workspace.h"

class FakePowerSources : public PowerSources {
 public:
  std::optional<PowerSourcesSnapshot> snapshot() override {
    ++snapshots;
    return state;
  }
  bool lowPowerModeEnabled() override { return lowPowerMode; }
  std::optional<PowerSourcesSnapshot> state = PowerSourcesSnapshot{"AC Power", {}};
  bool lowPowerMode = false;
  int snapshots = 0;
};

class FakeSession : public Session {
 public:
  std::optional<PlistValue> sessionDictionary() override { return dictionary; }
  std::optional<PlistValue> dictionary = PlistValue::object();
};

class FakeUserActivity : public UserActivity {
 public:
  std::optional<double> secondsSinceLastInput() override {
    if (!lastInputAt || !clock) return idleSeconds;
    return clock() - *lastInputAt;
  }
  bool declareUserActivity(const std::string& name) override {
    activityDeclarations.push_back(name);
    return activitySucceeds;
  }
  std::uint32_t createDisplayAssertion(const std::string& name) override {
    assertionNames.push_back(name);
    if (!assertionSucceeds) return 0;
    held.insert(nextAssertion);
    return nextAssertion++;
  }
  void releaseAssertion(std::uint32_t assertion) override {
    released.push_back(assertion);
    held.erase(assertion);
  }

  // Idle time: either fixed, or measured from `lastInputAt` on `clock`; none = unknown.
  std::optional<double> idleSeconds;
  std::optional<double> lastInputAt;
  std::function<double()> clock;
  bool activitySucceeds = true;
  bool assertionSucceeds = true;
  std::uint32_t nextAssertion = 1;
  std::set<std::uint32_t> held;
  std::vector<std::string> activityDeclarations;
  std::vector<std::string> assertionNames;
  std::vector<std::uint32_t> released;
};

class FakeWorkspace : public Workspace {
 public:
  std::vector<RunningApplication> runningApplications() override {
    ++applicationQueries;
    return running;
  }
  std::optional<RunningApplication> frontmostApplication() override {
    ++applicationQueries;
    return frontmost;
  }
  std::optional<bool> windowHasFocus(std::uint64_t window) override {
    if (!focusedWindow) return std::nullopt;
    return *focusedWindow == window;
  }
  std::optional<std::string> applicationPath(const std::string& bundleIdentifier) override {
    auto it = installed.find(bundleIdentifier);
    if (it == installed.end()) return std::nullopt;
    return it->second;
  }
  std::string displayName(const std::string& path) override {
    auto it = displayNames.find(path);
    if (it != displayNames.end()) return it->second;
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  }
  std::vector<RunningApplication> running;
  std::optional<RunningApplication> frontmost;
  // The window the user is in; none when the desktop does not say.
  std::optional<std::uint64_t> focusedWindow;
  std::map<std::string, std::string> installed;     // identifier -> path
  std::map<std::string, std::string> displayNames;  // path -> name
  int applicationQueries = 0;                       // running or frontmost
};

class FakeSystemEvents : public SystemEvents {
 public:
  bool subscribe(SystemEvent event, std::function<void()> handler) override {
    if (missing.count(event)) return false;
    subscriptions.push_back(event);
    handlers[event].push_back(std::move(handler));
    return true;
  }
  void deliver(SystemEvent event) {
    for (auto& handler : handlers[event]) handler();
  }
  std::set<SystemEvent> missing;
  std::vector<SystemEvent> subscriptions;
  std::map<SystemEvent, std::vector<std::function<void()>>> handlers;
};
