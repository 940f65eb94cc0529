#include "platform/linux_services/child_processes_linux.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace {

// Exit statuses as a shell reports them: a child ended by a signal gives 128 + the signal number.
int shellStatus(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
  return 1;
}

// A process started with SIGCHLD ignored has its children reaped by the kernel and could never learn
// their status; the default disposition keeps it without any handler.
void keepChildStatuses() {
  struct sigaction current {};
  if (sigaction(SIGCHLD, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
    signal(SIGCHLD, SIG_DFL);
  }
}

}  // namespace

std::variant<ChildExit, ChildStartFailure> LinuxChildProcesses::run(
    const std::string& executable, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(executable.c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  // The child starts with no signal blocked, whatever this process blocks; it stays in this
  // process group so the terminal's Ctrl-C reaches it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

  keepChildStatuses();
  pid_t child = 0;
  int error = posix_spawn(&child, executable.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return ChildStartFailure{std::strerror(error)};

  int waitStatus = 0;
  while (waitpid(child, &waitStatus, 0) < 0) {
    // The child ran but its status is lost: report a failure rather than success.
    if (errno != EINTR) return ChildExit{1};
  }
  return ChildExit{shellStatus(waitStatus)};
}
