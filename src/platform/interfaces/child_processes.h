// Running a child process that shares the tool's standard streams.
#pragma once

#include <string>
#include <variant>
#include <vector>

struct ChildExit {
  // The termination status; a child ended by a signal reports 128 + the signal number.
  int status = 0;
};
struct ChildStartFailure {
  std::string description;
};

class ChildProcesses {
 public:
  virtual ~ChildProcesses() = default;
  // Starts `executable` with `arguments` (not including the executable), waits for it to end.
  virtual std::variant<ChildExit, ChildStartFailure> run(const std::string& executable,
                                                         const std::vector<std::string>& arguments) = 0;
};
