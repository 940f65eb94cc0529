// Starting the application at login through an XDG autostart entry named for the application.
#pragma once

#include <string>

#include "formats/failure.h"
#include "platform/interfaces/login_items.h"

class LinuxLoginItems : public LoginItems {
 public:
  // The entry lies in `autostartDirectory`; by default $XDG_CONFIG_HOME/autostart (~/.config/autostart).
  explicit LinuxLoginItems(std::string autostartDirectory = defaultAutostartDirectory());
  static std::string defaultAutostartDirectory();

  bool isEnabled() override;
  Failure enable(const std::string& executablePath) override;
  Failure disable() override;

  std::string entryPath() const;

 private:
  std::string directory_;
};
