// Writing a light: its brightness through systemd-logind's SetBrightness on the user's session
// (the active graphical session needs no root and no rule), else straight into the sysfs file where
// the user may write it (a udev rule), else not at all. Triggers can only be written directly.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/linux_utilities/dbus_buses.h"

class LedWriter {
 public:
  LedWriter(std::filesystem::path sysRoot, DBusBuses buses);

  // True when the light took `level`.
  bool writeBrightness(const std::string& name, long long level);
  bool writeTrigger(const std::string& name, const std::string& trigger);

 private:
  bool throughLogind(const std::string& name, long long level);
  bool directly(const std::string& name, const char* attribute, const std::string& text);

  std::filesystem::path sysRoot_;
  DBusBuses buses_;
  std::optional<QString> session_;
  bool sessionLookedUp_ = false;
  // Once logind refuses (not the foreground session, no logind), writes try the file first.
  bool logindRefused_ = false;
};
