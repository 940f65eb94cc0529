// Runs a shell command with administrator rights through pkexec, which asks the user through the
// desktop's authentication agent.
#pragma once

#include <string>

#include "platform/interfaces/privileged_shell.h"

class LinuxPrivilegedShell : public PrivilegedShell {
 public:
  // `elevator` is the program that runs its arguments with elevated rights.
  explicit LinuxPrivilegedShell(std::string elevator = "pkexec");
  PrivilegedResult run(const std::string& command) override;

 private:
  std::string elevator_;
};
