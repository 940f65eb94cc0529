#include "automation/event_observation.h"

namespace Power {

namespace {

// The handler and where it runs; held by each of the event subscriptions made for it.
class HandlerBox {
 public:
  HandlerBox(std::function<void()> handler, Scheduler& scheduler)
      : handler_(std::move(handler)), scheduler_(scheduler) {}

  // One deferred run per delivered event: nothing is filtered or merged, so a burst gives as many
  // runs, in arrival order, and the handler never runs inside a delivery.
  void fire() { scheduler_.post(handler_); }

 private:
  std::function<void()> handler_;
  Scheduler& scheduler_;
};

}  // namespace

std::shared_ptr<void> observe(std::function<void()> handler, Platform& platform) {
  auto box = std::make_shared<HandlerBox>(std::move(handler), platform.scheduler);
  // A missing source is skipped; the others still work.
  for (auto event :
       {SystemEvent::powerSourceChanged, SystemEvent::powerStateChanged, SystemEvent::screenParametersChanged,
        SystemEvent::applicationLaunched, SystemEvent::applicationTerminated,
        SystemEvent::applicationActivated, SystemEvent::screenLocked, SystemEvent::screenUnlocked}) {
    platform.events.subscribe(event, [box] { box->fire(); });
  }
  return box;
}

}  // namespace Power
