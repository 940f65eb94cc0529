// A virtual clock and main-loop scheduler: time moves only when a test advances it, and every
// timer or deferred call that falls due runs in time order.
#pragma once

#include <cmath>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "platform/interfaces/clock.h"
#include "platform/interfaces/scheduler.h"

class VirtualClock : public Clock, public Scheduler {
 public:
  explicit VirtualClock(double start = 1'800'000'000.0) : now_(start) {}

  double now() override { return now_; }
  // Hours in UTC plus a configurable offset, standing in for the user's time zone.
  int localHour(double time) override {
    double seconds = time + utcOffsetHours * 3600.0;
    long long hour = static_cast<long long>(std::floor(seconds / 3600.0)) % 24;
    return static_cast<int>(hour < 0 ? hour + 24 : hour);
  }
  void sleep(double seconds) override {
    slept += seconds;
    advance(seconds);
  }

  void post(std::function<void()> fn) override { schedule(0, 0, std::move(fn)); }
  std::shared_ptr<TimerHandle> after(double seconds, std::function<void()> fn) override {
    return schedule(seconds, 0, std::move(fn));
  }
  std::shared_ptr<TimerHandle> every(double seconds, std::function<void()> fn) override {
    return schedule(seconds, seconds, std::move(fn));
  }

  // Moves time forward, running everything that falls due in order (deferred calls posted while
  // running also run when due).
  void advance(double seconds) {
    double target = now_ + seconds;
    while (!queue_.empty() && queue_.begin()->first.first <= target + 1e-9) {
      auto it = queue_.begin();
      auto entry = it->second;
      now_ = std::max(now_, it->first.first);
      queue_.erase(it);
      if (entry->cancelled) continue;
      if (entry->period > 0) enqueue(now_ + entry->period, entry);
      entry->fn();
    }
    now_ = target;
  }
  // Runs what is due now (deferred calls), without moving time.
  void runPending() { advance(0); }
  // Sets the time directly (for calendar rules); timers are not fired.
  void setNow(double time) { now_ = time; }
  std::size_t pendingCount() const {
    std::size_t n = 0;
    for (const auto& [key, entry] : queue_) n += entry->cancelled ? 0 : 1;
    return n;
  }

  double utcOffsetHours = 0;
  double slept = 0;

 private:
  struct Entry : TimerHandle {
    std::function<void()> fn;
    double period = 0;
    bool cancelled = false;
    void cancel() override { cancelled = true; }
  };
  std::shared_ptr<TimerHandle> schedule(double delay, double period, std::function<void()> fn) {
    auto entry = std::make_shared<Entry>();
    entry->fn = std::move(fn);
    entry->period = period;
    enqueue(now_ + delay, entry);
    return entry;
  }
  void enqueue(double when, std::shared_ptr<Entry> entry) {
    queue_.emplace(std::make_pair(when, sequence_++), entry);
  }

  double now_;
  unsigned long long sequence_ = 0;
  std::map<std::pair<double, unsigned long long>, std::shared_ptr<Entry>> queue_;
};
