// Services this build does not provide yet. Each behaves exactly as the service being missing:
// no information, nothing running, no subscriptions, nothing delivered, every action refused.
#pragma once

#include "platform/app_instances.h"
#include "platform/desktop_integration.h"
#include "platform/notification_center.h"

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

class AbsentDesktopIntegration : public DesktopIntegration {
 public:
  void install(const std::string&) override {}
  std::vector<std::string> remove() override { return {}; }
};
