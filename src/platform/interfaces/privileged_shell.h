// Running a shell command with administrator rights after asking the user.
#pragma once

#include <optional>
#include <string>

struct PrivilegedResult {
  enum class Outcome { succeeded, cancelled, failed };
  Outcome outcome = Outcome::succeeded;
  // With `failed`: the platform's message, when it gave one.
  std::optional<std::string> message;
};

class PrivilegedShell {
 public:
  virtual ~PrivilegedShell() = default;
  // `command` is a complete /bin/sh command line; callers quote every value in it.
  virtual PrivilegedResult run(const std::string& command) = 0;
};
