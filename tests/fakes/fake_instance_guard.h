// An instance guard in memory. Guards made from one shared lock stand for processes of one user;
// a test can also play the holder (starting, ready) directly.
#pragma once

#include <functional>
#include <memory>

#include "platform/instance_guard.h"

class FakeInstanceGuard : public InstanceGuard {
 public:
  struct Lock {
    bool held = false;
    std::optional<long> pid;
  };

  explicit FakeInstanceGuard(long pid = 4242, std::shared_ptr<Lock> lock = std::make_shared<Lock>())
      : pid_(pid), lock_(std::move(lock)) {}

  bool acquire() override {
    if (holding_) return true;
    if (lock_->held) return false;
    lock_->held = holding_ = true;
    lock_->pid.reset();
    return true;
  }
  void markReady() override {
    if (holding_) lock_->pid = pid_;
  }
  std::optional<Holder> holder() override {
    ++holderChecks;
    if (onHolderCheck) onHolderCheck(*lock_);
    if (!lock_->held) return std::nullopt;
    return Holder{lock_->pid};
  }
  // The holder ending: the kernel would release its lock.
  void release() {
    if (!holding_) return;
    holding_ = false;
    lock_->held = false;
  }

  const std::shared_ptr<Lock>& lock() const { return lock_; }
  int holderChecks = 0;
  // Runs before each look at the lock, so a test can change it as time passes.
  std::function<void(Lock&)> onHolderCheck;

 private:
  long pid_;
  std::shared_ptr<Lock> lock_;
  bool holding_ = false;
};
