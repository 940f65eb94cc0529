#include "integration/sandbox.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Marks every process of a sandbox, so that even detached ones can be found and ended.
constexpr const char* kMarker = "HALOMARK_TEST_SANDBOX";
constexpr const char* kPath = "/usr/local/bin:/usr/bin:/bin";
constexpr double kRunTimeoutSeconds = 120;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string findOnPath(const std::string& name) {
  std::istringstream directories(kPath);
  for (std::string directory; std::getline(directories, directory, ':');) {
    std::string candidate = directory + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  throw std::runtime_error(name + " is not installed");
}

int statusOf(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return -1;
}

struct Pipe {
  int read = -1;
  int write = -1;
  Pipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    read = fds[0];
    write = fds[1];
  }
};

// Starts `program` in a session of its own with the given standard streams; everything the child
// needs is prepared before the fork.
pid_t startProcess(const std::string& program, const std::vector<std::string>& argv,
                   const std::vector<std::string>& environment, int in, int out, int err,
                   const std::string& directory) {
  std::vector<char*> args, env;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const auto& e : environment) env.push_back(const_cast<char*>(e.c_str()));
  env.push_back(nullptr);
  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::setsid();
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::close_range(3, ~0U, 0);
    if (::chdir(directory.c_str()) != 0) ::_exit(126);
    ::execve(program.c_str(), args.data(), env.data());
    ::_exit(127);
  }
  return pid;
}

// Reads both pipes until the child has exited and its streams have gone quiet.
ProcessResult collect(pid_t pid, int outFd, int errFd) {
  ProcessResult result;
  auto start = Clock::now();
  std::optional<int> waitStatus;
  auto quietSince = Clock::now();
  pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    if (!waitStatus) {
      int status = 0;
      if (::waitpid(pid, &status, WNOHANG) == pid) {
        waitStatus = status;
        quietSince = Clock::now();
      }
    }
    // A detached grandchild may hold the streams open; stop reading once the child is gone and
    // nothing has arrived for a while.
    if (waitStatus && secondsSince(quietSince) > 0.5) break;
    if (!waitStatus && secondsSince(start) > kRunTimeoutSeconds) {
      ::kill(-pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
      ::close(outFd);
      ::close(errFd);
      result.status = -1;
      return result;
    }
    if (::poll(fds, 2, 50) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
        quietSince = Clock::now();
      } else {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (auto& fd : fds) {
    if (fd.fd >= 0) ::close(fd.fd);
  }
  if (!waitStatus) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    waitStatus = status;
  }
  result.status = statusOf(*waitStatus);
  return result;
}

bool isZombie(pid_t pid) {
  std::string stat = TempTree::read("/proc/" + std::to_string(pid) + "/stat");
  auto close = stat.rfind(')');
  return stat.empty() || (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z');
}

}  // namespace

std::string Sandbox::buildDirectory() { return HALOMARK_BUILD_DIR; }
std::string Sandbox::bundle() { return buildDirectory() + "/Halomark.app"; }
std::string Sandbox::executable() { return bundle() + "/Contents/MacOS/Halomark"; }
std::string Sandbox::commandLink() { return buildDirectory() + "/halomark"; }
std::string Sandbox::deviceTool() { return HALOMARK_DEVICE_TOOL; }

// Memory-backed when the machine has it: tests write preference files thousands of times, and
// flushing each to a disk would only measure the disk.
Sandbox::Sandbox(Bus bus) : scratch_(TempTree::memoryBase()), root_(scratch_.path()) {
  if (root_.empty()) throw std::runtime_error("no temporary folder could be made");
  // Processes orphaned by a detached start are handed to this process, which then reaps them.
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  for (const auto& directory : {home(), configHome(), dataHome(), cacheHome(), root_ + "/tmp"}) {
    fs::create_directories(directory);
  }
  fs::create_directories(dataHome() + "/dbus-1/services");
  fs::create_directory(runtimeDirectory());
  ::chmod(runtimeDirectory().c_str(), 0700);

  const passwd* user = ::getpwuid(::getuid());
  std::string name = user ? user->pw_name : "user";
  environment_ = {{"HOME", home()},
                  {"USER", name},
                  {"LOGNAME", name},
                  {"PATH", kPath},
                  {"LANG", "C.UTF-8"},
                  {"TMPDIR", root_ + "/tmp"},
                  {"XDG_CONFIG_HOME", configHome()},
                  {"XDG_DATA_HOME", dataHome()},
                  {"XDG_CACHE_HOME", cacheHome()},
                  {"XDG_RUNTIME_DIR", runtimeDirectory()},
                  {kMarker, root_}};
  // A sanitizer build reads its settings (suppressions, leak detection) from these; without them
  // the executable under test would report differently from the suite that runs it.
  for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
    if (const char* value = std::getenv(name)) environment_[name] = value;
  }
  if (bus == Bus::none) return;
  try {
    startBus();
  } catch (...) {
    endEverything();
    throw;
  }
  environment_["DBUS_SESSION_BUS_ADDRESS"] = busAddress_;
}

void Sandbox::stopBus() {
  if (busPid_ <= 0) return;
  ::kill(busPid_, SIGTERM);
  ::waitpid(busPid_, nullptr, 0);
  busPid_ = -1;
}

Sandbox::~Sandbox() { endEverything(); }

void Sandbox::startBus() {
  // Only the sandbox's own service folder: the bus never starts a real service of this machine.
  std::string config = root_ + "/session-bus.conf";
  std::ofstream(config)
      << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
         "<busconfig>\n"
         "  <type>session</type>\n"
         "  <listen>unix:path="
      << runtimeDirectory()
      << "/bus</listen>\n"
         "  <auth>EXTERNAL</auth>\n"
         "  <servicedir>"
      << dataHome()
      << "/dbus-1/services</servicedir>\n"
         "  <policy context=\"default\">\n"
         "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
         "    <allow eavesdrop=\"true\"/>\n"
         "    <allow own=\"*\"/>\n"
         "  </policy>\n"
         "</busconfig>\n";
  Pipe address;
  int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  busPid_ = startProcess(findOnPath("dbus-daemon"),
                         {"dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"},
                         environment(), devNull, address.write, devNull, root_);
  ::close(address.write);
  ::close(devNull);
  // The address is printed once the bus listens.
  std::string line;
  char c;
  while (::read(address.read, &c, 1) == 1 && c != '\n') line += c;
  ::close(address.read);
  if (line.empty()) throw std::runtime_error("the session bus did not start");
  busAddress_ = line;
}

std::string Sandbox::preferencesFile(const std::string& domain) const {
  return configHome() + "/halomark/" + domain + ".json";
}

void Sandbox::setEnvironment(const std::string& name, const std::string& value) {
  environment_[name] = value;
}

void Sandbox::unsetEnvironment(const std::string& name) { environment_.erase(name); }

std::vector<std::string> Sandbox::environment() const {
  std::vector<std::string> entries;
  for (const auto& [name, value] : environment_) entries.push_back(name + "=" + value);
  return entries;
}

ProcessResult Sandbox::run(const std::vector<std::string>& arguments, const std::string& input) {
  return runProgram(commandLink(), arguments, input);
}

ProcessResult Sandbox::device(const std::vector<std::string>& arguments) {
  return runProgram(deviceTool(), arguments);
}

nlohmann::json Sandbox::deviceState() {
  auto shown = device({"show"});
  EXPECT_EQ(shown.status, 0) << shown.err;
  auto state = nlohmann::json::parse(shown.out, nullptr, false);
  return shown.status == 0 && state.is_object() ? state : nlohmann::json::object();
}

int Sandbox::backlightMode() { return deviceState().value("LEBacklightMode", -1); }

ProcessResult Sandbox::runProgram(const std::string& program, const std::vector<std::string>& arguments,
                                  const std::string& input, std::optional<std::string> argv0) {
  std::vector<std::string> argv{argv0.value_or(program)};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  Pipe in, out, err;
  pid_t pid = startProcess(program, argv, environment(), in.read, out.write, err.write, home());
  ::close(in.read);
  ::close(out.write);
  ::close(err.write);
  // Inputs are small: they fit the pipe, so writing first cannot block on unread output.
  [[maybe_unused]] auto written = ::write(in.write, input.data(), input.size());
  ::close(in.write);
  return collect(pid, out.read, err.read);
}

pid_t Sandbox::spawnApp(const std::vector<std::string>& arguments) { return spawn(executable(), arguments); }

pid_t Sandbox::spawn(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::string base = root_ + "/spawned-" + std::to_string(++spawnCount_);
  Spawned files{base + ".out", base + ".err"};
  int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  int out = ::open(files.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  int err = ::open(files.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  pid_t pid = startProcess(program, argv, environment(), in, out, err, home());
  ::close(in);
  ::close(out);
  ::close(err);
  spawned_[pid] = files;
  return pid;
}

int Sandbox::stop(pid_t pid, double timeoutSeconds) {
  ::kill(pid, SIGTERM);
  return wait(pid, timeoutSeconds);
}

int Sandbox::wait(pid_t pid, double timeoutSeconds) {
  auto start = Clock::now();
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (secondsSince(start) > timeoutSeconds) {
      ::kill(-pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return statusOf(status);
}

ProcessResult Sandbox::output(pid_t pid) const {
  auto it = spawned_.find(pid);
  if (it == spawned_.end()) return {};
  return {0, TempTree::read(it->second.outPath), TempTree::read(it->second.errPath)};
}

std::vector<pid_t> Sandbox::livingProcesses() const {
  std::vector<pid_t> found;
  std::string marker = std::string(kMarker) + "=" + root_;
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    pid_t pid = std::stoi(name);
    std::string environ = TempTree::read(entry.path() / "environ");
    std::istringstream variables(environ);
    for (std::string variable; std::getline(variables, variable, '\0');) {
      if (variable == marker) {
        if (!isZombie(pid)) found.push_back(pid);
        break;
      }
    }
  }
  return found;
}

std::vector<std::string> Sandbox::commandLine(pid_t pid) {
  std::istringstream text(TempTree::read("/proc/" + std::to_string(pid) + "/cmdline"));
  std::vector<std::string> arguments;
  for (std::string argument; std::getline(text, argument, '\0');) arguments.push_back(argument);
  return arguments;
}

bool Sandbox::waitUntil(const std::function<bool()>& condition, double timeoutSeconds) {
  auto start = Clock::now();
  while (!condition()) {
    if (secondsSince(start) > timeoutSeconds) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

void Sandbox::endEverything() {
  // Politely first (the application restores the logo on SIGTERM), the bus last, then by force.
  auto others = [&] {
    auto pids = livingProcesses();
    std::erase(pids, busPid_);
    return pids;
  };
  for (pid_t pid : others()) ::kill(pid, SIGTERM);
  waitUntil([&] { return others().empty(); }, 5);
  for (pid_t pid : others()) ::kill(pid, SIGKILL);
  if (busPid_ > 0) ::kill(busPid_, SIGTERM);
  waitUntil([&] { return livingProcesses().empty(); }, 3);
  for (pid_t pid : livingProcesses()) ::kill(pid, SIGKILL);
  waitUntil([&] { return livingProcesses().empty(); }, 3);
  // A process on its way out is no longer listed but not reaped yet: wait until every child of
  // this process (the sandbox's, and orphans handed to it) has been collected.
  waitUntil([] { return ::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD; }, 3);
}
