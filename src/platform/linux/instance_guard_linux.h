// The instance guard as an exclusive flock on a file in the user's runtime directory, beside the
// emulated logo device's state. The file holds the holder's process id once it is ready.
#pragma once

#include <string>

#include "platform/instance_guard.h"

class LinuxInstanceGuard : public InstanceGuard {
 public:
  explicit LinuxInstanceGuard(std::string path);
  ~LinuxInstanceGuard() override;
  LinuxInstanceGuard(const LinuxInstanceGuard&) = delete;
  LinuxInstanceGuard& operator=(const LinuxInstanceGuard&) = delete;

  // $XDG_RUNTIME_DIR/halomark/application.lock, else the same name in the cache directory.
  static std::string defaultPath();

  // True also when the file cannot be made or locked at all: nothing then keeps a copy out.
  bool acquire() override;
  void markReady() override;
  std::optional<Holder> holder() override;

 private:
  std::string path_;
  int fd_ = -1;
  bool ready_ = false;
};
