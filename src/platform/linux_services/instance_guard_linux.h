// The instance guard as an exclusive flock on a file in Halomark's private folder, beside the
// emulated logo device's state. The file holds the holder's process id once it is ready. The folder
// is checked to be the user's own and private, and the file is opened relative to it without
// following links, so a link planted in its place is refused instead of written through.
#pragma once

#include <string>

#include "platform/interfaces/instance_guard.h"

class LinuxInstanceGuard : public InstanceGuard {
 public:
  explicit LinuxInstanceGuard(std::string path);
  ~LinuxInstanceGuard() override;
  LinuxInstanceGuard(const LinuxInstanceGuard&) = delete;
  LinuxInstanceGuard& operator=(const LinuxInstanceGuard&) = delete;

  // application.lock in Halomark's private folder (PrivateFolder::halomarkFolder).
  static std::string defaultPath();

  Acquired acquire() override;
  void markReady() override;
  std::optional<Holder> holder() override;
  std::optional<std::string> problem() override;

 private:
  // The lock file opened in its checked folder; -1 with `problem_` set when it cannot be.
  int openFile(bool create);

  std::string folder_;
  std::string name_;
  int fd_ = -1;
  bool ready_ = false;
  std::optional<std::string> problem_;
};
