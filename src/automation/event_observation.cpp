#include "automation/event_observation.h"

#include <vector>

namespace Power {

namespace {

// Everything one subscription needs; held by each of the event subscriptions it made.
class HandlerBox {
 public:
  HandlerBox(std::function<void()> handler, Scheduler& scheduler)
      : handler(std::move(handler)), scheduler_(scheduler) {}

  // One deferred run per delivered event: nothing is filtered or merged, so a burst gives as many
  // runs, in arrival order, and the handler never runs inside a delivery.
  void fire() { scheduler_.post(handler); }

  std::function<void()> handler;
  bool powerSource = false;
  std::vector<SystemEvent> observers;
  std::vector<SystemEvent> wsObservers;
  std::vector<SystemEvent> lockObservers;

 private:
  Scheduler& scheduler_;
};

void subscribeAll(const std::shared_ptr<HandlerBox>& box, SystemEvents& events,
                  std::initializer_list<SystemEvent> wanted, std::vector<SystemEvent>& subscribed) {
  for (auto event : wanted) {
    // A missing source is skipped; the others still work.
    if (events.subscribe(event, [box] { box->fire(); })) subscribed.push_back(event);
  }
}

}  // namespace

std::shared_ptr<void> observe(std::function<void()> handler, Platform& platform) {
  auto box = std::make_shared<HandlerBox>(std::move(handler), platform.scheduler);
  SystemEvents& events = platform.events;
  box->powerSource = events.subscribe(SystemEvent::powerSourceChanged, [box] { box->fire(); });
  subscribeAll(box, events, {SystemEvent::powerStateChanged, SystemEvent::screenParametersChanged},
               box->observers);
  subscribeAll(box, events,
               {SystemEvent::applicationLaunched, SystemEvent::applicationTerminated,
                SystemEvent::applicationActivated},
               box->wsObservers);
  subscribeAll(box, events, {SystemEvent::screenLocked, SystemEvent::screenUnlocked}, box->lockObservers);
  return box;
}

}  // namespace Power
