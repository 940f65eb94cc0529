// A hot key service that records registrations, can refuse them, and presses the combination.
#pragma once

#include <functional>
#include <memory>

#include "platform/interfaces/hot_keys.h"

class FakeHotKeys : public HotKeys {
 public:
  std::unique_ptr<HotKeyRegistration> registerToggle(std::function<void()> action) override {
    ++registrations;
    if (refuse) return nullptr;
    auto registration = std::make_unique<Registration>(*this);
    action_ = std::move(action);
    return registration;
  }

  // Presses the combination; false when nothing holds it.
  bool press() {
    if (held == 0 || !action_) return false;
    action_();
    return true;
  }

  bool refuse = false;
  int held = 0;  // live registrations
  int registrations = 0;

 private:
  struct Registration : HotKeyRegistration {
    explicit Registration(FakeHotKeys& keys) : keys_(keys) { ++keys_.held; }
    ~Registration() override { --keys_.held; }
    FakeHotKeys& keys_;
  };
  std::function<void()> action_;
};
