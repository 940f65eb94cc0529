// The application's published state on the session bus: the properties of its logo-light
// interface, read with one GetAll, or followed through the bus daemon's NameOwnerChanged and the
// object's PropertiesChanged (from the name's current owner only, so no other peer can speak for
// the application).
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "platform/interfaces/application_state.h"
#include "platform/linux_utilities/dbus_buses.h"

class DBusSignalRelay;
class QDBusMessage;

class LinuxApplicationState : public ApplicationState {
 public:
  explicit LinuxApplicationState(DBusBuses buses = {});
  ~LinuxApplicationState() override;

  std::optional<PlistDictionary> published(const std::string& identifier) override;
  bool follow(const std::string& identifier, std::function<void()> onChange) override;

  // The interface whose properties are the published state, for `identifier`.
  static QString interfaceOf(const std::string& identifier);

 private:
  std::optional<PlistDictionary> askAll(const std::string& identifier);
  void ownerChanged(const QDBusMessage& message);
  void propertiesChanged(const QDBusMessage& message);

  DBusBuses buses_;
  std::vector<std::unique_ptr<DBusSignalRelay>> relays_;
  std::string followed_;
  std::function<void()> onChange_;
  // The unique bus name of the application's connection, while one owns its name.
  QString owner_;
  std::optional<PlistDictionary> kept_;
};
