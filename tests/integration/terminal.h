// A program in a pseudo-terminal of its own, as a person at a terminal runs it: lines are typed into
// it and what it shows is read back. Interactive shells need one to read their start-up files and
// run their prompt hooks.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class Terminal {
 public:
  // Starts `program` with `arguments` and exactly `environment` (NAME=value entries), in the folder
  // `directory`.
  Terminal(const std::string& program, const std::vector<std::string>& arguments,
           const std::vector<std::string>& environment, const std::string& directory);
  ~Terminal();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  bool started() const { return pid_ > 0; }
  // Types `line` and Enter.
  void type(const std::string& line);
  // Presses `keys` as they are, without Enter.
  void press(const std::string& keys);
  // Reads what the terminal shows until `text` has appeared since the last call that found it;
  // false when it did not within `timeoutSeconds`.
  bool waitFor(const std::string& text, double timeoutSeconds);
  // Everything shown so far.
  const std::string& screen() const { return shown_; }

 private:
  void read(double timeoutSeconds);

  pid_t pid_ = -1;
  int fd_ = -1;
  std::string shown_;
  std::size_t seen_ = 0;
};
