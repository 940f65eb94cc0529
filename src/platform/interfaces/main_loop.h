// The tool's own main loop, for a command that waits for events instead of ending at once.
#pragma once

class MainLoop {
 public:
  enum class End {
    quit,          // `quit` was called
    terminated,    // the process was asked to end (SIGINT, SIGTERM, SIGHUP)
    outputClosed,  // whatever read standard output has gone
  };
  virtual ~MainLoop() = default;
  // Makes ready what watches, bus signals and timers need; call it before making any. From then
  // on, writing to standard output after its reader has gone fails instead of ending the process.
  virtual void prepare() = 0;
  // Runs until one of the ends above, and says which.
  virtual End run() = 0;
  virtual void quit() = 0;
};
