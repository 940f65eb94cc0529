// Records posted notifications; a test delivers notifications to the observers by hand.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/interfaces/notification_center.h"

class FakeNotificationCenter : public NotificationCenter {
 public:
  struct Posted {
    std::string name;
    std::optional<std::map<std::string, std::string>> userInfo;
  };
  void post(const std::string& name,
            const std::optional<std::map<std::string, std::string>>& userInfo) override {
    posted.push_back({name, userInfo});
  }
  bool canDeliver() override { return available; }
  bool observe(const std::string& name, Handler handler) override {
    if (!available) return false;
    observers[name].push_back(std::move(handler));
    return true;
  }
  void deliver(const std::string& name, const PlistDictionary& userInfo = {}) {
    for (auto& handler : observers[name]) handler(userInfo);
  }

  bool available = true;
  std::vector<Posted> posted;
  std::map<std::string, std::vector<Handler>> observers;
};
