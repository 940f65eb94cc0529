// The software updater as the windows see it: whether it checks for updates by itself.
#pragma once

class Updater {
 public:
  virtual ~Updater() = default;
  virtual bool automaticallyChecksForUpdates() const = 0;
  virtual void setAutomaticallyChecksForUpdates(bool on) = 0;
};
