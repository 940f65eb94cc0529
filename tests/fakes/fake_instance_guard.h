// An instance guard in memory. Guards made from one shared lock stand for processes of one user;
// a test can also play the holder (starting, ready) directly.
#pragma once

#include <functional>
#include <memory>

#include "platform/interfaces/instance_guard.h"

class FakeInstanceGuard : public InstanceGuard {
 public:
  struct Lock {
    bool held = false;
    std::optional<long> pid;
  };

  explicit FakeInstanceGuard(long pid = 4242, std::shared_ptr<Lock> lock = std::make_shared<Lock>())
      : pid_(pid), lock_(std::move(lock)) {}

  Acquired acquire() override {
    if (unusable) return Acquired::unusable;
    if (holding_) return Acquired::yes;
    if (lock_->held) return Acquired::heldElsewhere;
    lock_->held = holding_ = true;
    lock_->pid.reset();
    return Acquired::yes;
  }
  void markReady() override {
    if (holding_) lock_->pid = pid_;
  }
  std::optional<std::string> problem() override {
    if (unusable) return std::string("the lock is unusable");
    return std::nullopt;
  }
  std::optional<Holder> holder() override {
    ++holderChecks;
    if (unusable) return std::nullopt;
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
  // Stands for a lock file or folder that cannot be used at all.
  bool unusable = false;
  // Runs before each look at the lock, so a test can change it as time passes.
  std::function<void(Lock&)> onHolderCheck;

 private:
  long pid_;
  std::shared_ptr<Lock> lock_;
  bool holding_ = false;
};
