// Instances of the application through its well-known session-bus name: the owner of the name is
// the running instance. No session bus means nothing runs and nothing can be claimed.
#pragma once

#include "platform/app_instances.h"
#include "platform/linux/dbus_buses.h"

class LinuxAppInstances : public AppInstances {
 public:
  explicit LinuxAppInstances(DBusBuses buses = {});

  bool isRunning(const std::string& identifier) override;
  bool claim(const std::string& identifier) override;
  // Sends SIGTERM to the name's owner, which quits as from its menu and gives the logo back.
  void requestQuit(const std::string& identifier) override;
  bool openURLs(const std::string& identifier, const std::vector<std::string>& urls) override;

 private:
  std::optional<QVariant> callBus(const QString& member, const QVariantList& arguments);

  DBusBuses buses_;
};
