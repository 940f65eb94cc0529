// The process's arguments and the user's home directory.
#pragma once

#include "platform/interfaces/process_info.h"

class LinuxProcessInfo : public ProcessInfo {
 public:
  LinuxProcessInfo(int argc, char** argv);
  std::vector<std::string> arguments() override;
  // $HOME, else the user's password entry.
  std::string homeDirectory() override;

 private:
  std::vector<std::string> arguments_;
};
