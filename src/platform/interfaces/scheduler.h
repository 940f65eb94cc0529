// Timers and deferred calls on the main thread.
#pragma once

#include <functional>
#include <memory>

class TimerHandle {
 public:
  virtual ~TimerHandle() = default;
  // Stops the timer; a cancelled timer never fires again. Destroying the handle does not cancel.
  virtual void cancel() = 0;
};

class Scheduler {
 public:
  virtual ~Scheduler() = default;
  // Runs `fn` once on a later turn of the main loop.
  virtual void post(std::function<void()> fn) = 0;
  virtual std::shared_ptr<TimerHandle> after(double seconds, std::function<void()> fn) = 0;
  virtual std::shared_ptr<TimerHandle> every(double seconds, std::function<void()> fn) = 0;
};
