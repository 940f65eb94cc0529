// At most one application per user and logo device, with or without a session bus: a lock that
// the kernel releases when its holder ends, naming the holder once it hears requests.
#pragma once

#include <optional>
#include <string>

class InstanceGuard {
 public:
  struct Holder {
    // The holder's process id; none while it is still starting and not yet listening.
    std::optional<long> pid;
  };

  enum class Acquired {
    yes,
    heldElsewhere,
    // The guard cannot be had here at all (its file or folder is unusable); `problem` says why.
    unusable,
  };

  virtual ~InstanceGuard() = default;
  // Takes the guard for the rest of this process's life.
  virtual Acquired acquire() = 0;
  // Records this process, which holds the guard, as ready to hear requests.
  virtual void markReady() = 0;
  // The process holding the guard; none when no application runs or the guard is unusable.
  virtual std::optional<Holder> holder() = 0;
  // Why the guard cannot be used; none when it can.
  virtual std::optional<std::string> problem() = 0;
};
