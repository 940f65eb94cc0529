// Runs a child process that shares the tool's standard streams, environment and directory, and
// waits for it. Installs no signal handlers: Ctrl-C reaches the child through the terminal.
#pragma once

#include "platform/interfaces/child_processes.h"

class LinuxChildProcesses : public ChildProcesses {
 public:
  std::variant<ChildExit, ChildStartFailure> run(const std::string& executable,
                                                 const std::vector<std::string>& arguments) override;
};
