#include "platform/linux/child_processes_linux.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "fakes/temp_tree.h"

namespace {

int statusOf(const std::variant<ChildExit, ChildStartFailure>& result) {
  EXPECT_TRUE(std::holds_alternative<ChildExit>(result));
  return std::holds_alternative<ChildExit>(result) ? std::get<ChildExit>(result).status : -1;
}

// Runs `script` with the shell while this process's standard output goes to a file; returns what
// the child wrote and its status.
std::pair<std::string, int> captureShell(const std::string& script) {
  TempTree scratch;
  auto path = scratch / "child-out";
  int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  int saved = dup(STDOUT_FILENO);
  dup2(file, STDOUT_FILENO);
  close(file);
  LinuxChildProcesses children;
  int status = statusOf(children.run("/bin/sh", {"-c", script}));
  dup2(saved, STDOUT_FILENO);
  close(saved);
  return {TempTree::read(path), status};
}

TEST(LinuxChildProcessesTest, PassesOnTheExitStatus) {
  LinuxChildProcesses children;
  EXPECT_EQ(statusOf(children.run("/bin/sh", {"-c", "exit 7"})), 7);
  EXPECT_EQ(statusOf(children.run("/usr/bin/env", {"true"})), 0);
  EXPECT_EQ(statusOf(children.run("/usr/bin/env", {"false"})), 1);
  // env's own status and message for a command it cannot find.
  EXPECT_EQ(statusOf(children.run("/usr/bin/env", {"halomark-no-such-command"})), 127);
}

TEST(LinuxChildProcessesTest, ChildEndedBySignalReportsTheShellConvention) {
  LinuxChildProcesses children;
  EXPECT_EQ(statusOf(children.run("/bin/sh", {"-c", "kill -TERM $$"})), 128 + SIGTERM);
  EXPECT_EQ(statusOf(children.run("/bin/sh", {"-c", "kill -KILL $$"})), 128 + SIGKILL);

  // A signal this process blocks is not blocked in the child.
  sigset_t interrupt, previous;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  sigprocmask(SIG_BLOCK, &interrupt, &previous);
  EXPECT_EQ(statusOf(children.run("/bin/sh", {"-c", "kill -INT $$"})), 128 + SIGINT);
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}

TEST(LinuxChildProcessesTest, StartFailureCarriesTheSystemsText) {
  LinuxChildProcesses children;
  auto result = children.run("/nonexistent/halomark-runner", {"x"});
  ASSERT_TRUE(std::holds_alternative<ChildStartFailure>(result));
  EXPECT_EQ(std::get<ChildStartFailure>(result).description, "No such file or directory");
}

TEST(LinuxChildProcessesTest, ChildSharesStreamsEnvironmentDirectoryAndProcessGroup) {
  setenv("HALOMARK_CHILD_MARK", "shared", 1);
  auto [output, status] = captureShell("echo \"$HALOMARK_CHILD_MARK\"; pwd; cut -d' ' -f5 /proc/$$/stat");
  unsetenv("HALOMARK_CHILD_MARK");
  EXPECT_EQ(status, 0);
  std::string expected =
      "shared\n" + std::filesystem::current_path().string() + "\n" + std::to_string(getpgrp()) + "\n";
  EXPECT_EQ(output, expected);
}

TEST(LinuxChildProcessesTest, StatusSurvivesAnIgnoredChildSignal) {
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGCHLD, &ignore, &previous);
  LinuxChildProcesses children;
  EXPECT_EQ(statusOf(children.run("/bin/sh", {"-c", "exit 3"})), 3);
  sigaction(SIGCHLD, &previous, nullptr);
}

}  // namespace
