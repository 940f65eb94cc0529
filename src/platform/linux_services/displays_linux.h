// Online displays from the kernel's DRM connectors; eDP, LVDS and DSI panels are built in.
#pragma once

#include <string>

#include "platform/interfaces/displays.h"

class LinuxDisplays : public Displays {
 public:
  explicit LinuxDisplays(std::string sysRoot = "/sys");

  // Connected connectors in name order. An identifier is derived from the connector's name, so it
  // stays the same across calls and processes.
  std::optional<std::vector<DisplayID>> onlineDisplays(std::size_t capacity) override;
  bool isBuiltIn(DisplayID display) override;

 private:
  std::string sysRoot_;
};
