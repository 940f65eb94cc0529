// What the running application publishes of its state (the logo-light properties of its bus
// object): asked for once, or followed as it changes without asking again.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "formats/plist_value.h"

class ApplicationState {
 public:
  virtual ~ApplicationState() = default;
  // The published properties by name; none when no application publishes them (none runs, or
  // there is no bus to ask on). While followed, answered from what the application announced.
  virtual std::optional<PlistDictionary> published(const std::string& identifier) = 0;
  // From now on calls `onChange` on the main thread whenever the application appears, vanishes
  // (quits or crashes) or changes a published property. False when there is nothing to follow it
  // on. The main loop must be prepared first.
  virtual bool follow(const std::string& identifier, std::function<void()> onChange) = 0;
};
