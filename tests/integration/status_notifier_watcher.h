// A panel that speaks StatusNotifierItem, as far as the application can tell: a mock watcher on
// the sandbox's session bus that says a host is registered and records the items that register.
#pragma once

#include <string>
#include <vector>

#include "integration/sandbox.h"

class StatusNotifierWatcher {
 public:
  explicit StatusNotifierWatcher(Sandbox& sandbox) : sandbox_(sandbox) {}

  // Starts the watcher; false when it did not answer on the bus.
  bool start();
  // The bus name the application's item registered with, or "" before it has.
  std::string item();
  // `method` of the item's `interface` at `path`, called with gdbus; its printed answer.
  std::string callItem(const std::string& path, const std::string& method,
                       const std::vector<std::string>& arguments);

 private:
  bool mock(const std::string& method, const std::vector<std::string>& arguments);
  Sandbox& sandbox_;
};
