// Instances of the application: the instance guard decides which process is the one instance,
// with or without a session bus; on a bus the instance also owns its well-known name, which an
// instance of a build without the guard is recognised by too.
#pragma once

#include "platform/interfaces/app_instances.h"
#include "platform/interfaces/instance_guard.h"
#include "platform/linux_utilities/dbus_buses.h"

class LinuxAppInstances : public AppInstances {
 public:
  // `startWaitSeconds`: how long a running check waits for an instance that is still starting.
  explicit LinuxAppInstances(InstanceGuard& guard, DBusBuses buses = {}, double startWaitSeconds = 10);

  bool isRunning(const std::string& identifier) override;
  bool claim(const std::string& identifier) override;
  // Takes the name on the session bus, if there is one, then marks the guard ready.
  void announce(const std::string& identifier) override;
  // Sends SIGTERM to the instance, which quits as from its menu and gives the logo back.
  void requestQuit(const std::string& identifier) override;
  bool openURLs(const std::string& identifier, const std::vector<std::string>& urls) override;

 private:
  std::optional<QVariant> callBus(const QString& member, const QVariantList& arguments);
  // The guard's holder once it is ready, waiting for one that is starting; none when none runs.
  std::optional<InstanceGuard::Holder> readyHolder();

  InstanceGuard& guard_;
  DBusBuses buses_;
  double startWaitSeconds_;
};
