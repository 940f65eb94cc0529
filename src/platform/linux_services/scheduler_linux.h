// Timers and deferred calls on the Qt main event loop.
#pragma once

#include "platform/interfaces/scheduler.h"

class LinuxScheduler : public Scheduler {
 public:
  void post(std::function<void()> fn) override;
  std::shared_ptr<TimerHandle> after(double seconds, std::function<void()> fn) override;
  std::shared_ptr<TimerHandle> every(double seconds, std::function<void()> fn) override;
};
