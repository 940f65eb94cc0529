// Subscriptions to the system events that can change what the automation rules see, and to wake.
#pragma once

#include <functional>

enum class SystemEvent {
  powerSourceChanged,  // plugging, unplugging, charge changes
  powerStateChanged,   // low-power mode switched
  screenParametersChanged,
  applicationLaunched,
  applicationTerminated,
  applicationActivated,
  screenLocked,
  screenUnlocked,
  didWake,
  screensDidWake,
  sessionDidBecomeActive,
};

class SystemEvents {
 public:
  virtual ~SystemEvents() = default;
  // Calls `handler` on the main thread each time the event is delivered. Subscriptions are never
  // removed. Returns false when the platform has no source for this event (nothing subscribed).
  virtual bool subscribe(SystemEvent event, std::function<void()> handler) = 0;
};
