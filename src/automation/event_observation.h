// Subscribes to every system event that can change what the automation rules see, and runs one
// handler for each delivered event on a later turn of the main loop. Subscriptions are never
// removed.
#pragma once

#include <functional>
#include <memory>

#include "platform/interfaces/platform.h"

namespace Power {

// Returns an opaque token; the subscriptions keep what they need alive, so dropping the token
// ends nothing.
std::shared_ptr<void> observe(std::function<void()> handler, Platform& platform);

}  // namespace Power
