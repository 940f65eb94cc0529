// Facts about the running process and its user.
#pragma once

#include <string>
#include <vector>

class ProcessInfo {
 public:
  virtual ~ProcessInfo() = default;
  // All arguments, the program path first.
  virtual std::vector<std::string> arguments() = 0;
  virtual std::string homeDirectory() = 0;
};
