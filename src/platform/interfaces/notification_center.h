// System-wide notifications between the tool and the application: post by name with a string
// dictionary, observe on the main thread.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "formats/plist_value.h"

class NotificationCenter {
 public:
  // The payload as received; values may be of any kind when a foreign sender posted them.
  using Handler = std::function<void(const PlistDictionary& userInfo)>;
  virtual ~NotificationCenter() = default;
  // Posts and makes sure the notification has left the process before returning.
  virtual void post(const std::string& name,
                    const std::optional<std::map<std::string, std::string>>& userInfo) = 0;
  // Whether a posted notification can reach another process at all.
  virtual bool canDeliver() = 0;
  // Subscriptions are never removed. Returns false when no notification service is reachable.
  virtual bool observe(const std::string& name, Handler handler) = 0;
};
