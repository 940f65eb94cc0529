// A throw-away user for running the built executables: its own home and XDG directories, a private
// session bus that starts nothing by itself, and an environment built from scratch. Every process
// started inside it, detached ones included, is ended when the sandbox goes away.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "fakes/temp_tree.h"

struct ProcessResult {
  // The exit status; 128 + the signal number for a process ended by a signal, -1 when it had to be
  // killed because it did not end in time.
  int status = -1;
  std::string out;
  std::string err;
};

class Sandbox {
 public:
  // `none` stands for a console or ssh login: no session bus at all, nor a socket in the runtime
  // folder, nor DISPLAY, so nothing can reach or autolaunch a bus.
  enum class Bus { privateSession, none };

  explicit Sandbox(Bus bus = Bus::privateSession);
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // The build under test.
  static std::string buildDirectory();
  static std::string bundle();
  static std::string executable();
  // The `halomark` link the build lays next to the bundle.
  static std::string commandLink();
  static std::string deviceTool();

  const std::string& root() const { return root_; }
  std::string home() const { return root_ + "/home"; }
  std::string configHome() const { return root_ + "/config"; }
  std::string dataHome() const { return root_ + "/data"; }
  std::string cacheHome() const { return root_ + "/cache"; }
  std::string runtimeDirectory() const { return root_ + "/run"; }
  // Where the preference domain `domain` is kept.
  std::string preferencesFile(const std::string& domain = "app.halomark.Halomark") const;
  const std::string& busAddress() const { return busAddress_; }

  // Ends the session bus, as when the session that ran it is over.
  void stopBus();

  // The environment every process gets; tests may change it (LANG, say) before starting processes.
  void setEnvironment(const std::string& name, const std::string& value);
  void unsetEnvironment(const std::string& name);

  // `halomark <arguments>` through the command link, with `input` on standard input.
  ProcessResult run(const std::vector<std::string>& arguments, const std::string& input = {});
  // Any program; `argv0` replaces the first argument the program sees (a bare name makes it look
  // as if a shell found it on the PATH).
  ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& input = {}, std::optional<std::string> argv0 = {});
  // The companion tool of the emulated logo device.
  ProcessResult device(const std::vector<std::string>& arguments);
  // The emulated device's state as the tool shows it; an empty object, and a failed test, when it
  // cannot be shown.
  nlohmann::json deviceState();
  // Its "LEBacklightMode" (0 off, 1 Halomark's tables, 2 the platform's behaviour); -1 unreadable.
  int backlightMode();

  // Starts a long-running process (by default the application: the executable without arguments);
  // its output goes to files read by `output`.
  pid_t spawnApp(const std::vector<std::string>& arguments = {});
  pid_t spawn(const std::string& program, const std::vector<std::string>& arguments);
  // Asks the process to quit with SIGTERM and waits; returns its status, or -1 when it had to be
  // killed after `timeoutSeconds`.
  int stop(pid_t pid, double timeoutSeconds = 10);
  // Waits for a spawned process to end by itself; -1 (and killed) when it did not within the time.
  int wait(pid_t pid, double timeoutSeconds = 10);
  // What a spawned process has written so far.
  ProcessResult output(pid_t pid) const;

  // Every live process started in this sandbox, at any depth.
  std::vector<pid_t> livingProcesses() const;
  static std::vector<std::string> commandLine(pid_t pid);
  // Polls `condition` every 50 ms; false when it did not hold within `timeoutSeconds`.
  static bool waitUntil(const std::function<bool()>& condition, double timeoutSeconds);

 private:
  struct Spawned {
    std::string outPath;
    std::string errPath;
  };
  void startBus();
  std::vector<std::string> environment() const;
  void endEverything();

  // Removed, with everything in it, once every process is gone.
  TempTree scratch_;
  std::string root_;
  std::string busAddress_;
  pid_t busPid_ = -1;
  std::map<std::string, std::string> environment_;
  std::map<pid_t, Spawned> spawned_;
  int spawnCount_ = 0;
};
