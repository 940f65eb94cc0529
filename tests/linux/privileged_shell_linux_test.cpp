#include "platform/linux/privileged_shell_linux.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "fakes/temp_tree.h"
#include "maintenance/command_links.h"

namespace fs = std::filesystem;

namespace {

// Stand-ins for pkexec: shell scripts in a temporary folder, run instead of the real program.
class PrivilegedShellTest : public ::testing::Test {
 protected:
  std::string elevator(const std::string& name, const std::string& body) {
    std::string path = dir.makeFile(name, "#!/bin/sh\n" + body + "\n");
    fs::permissions(path, fs::perms::owner_all);
    return path;
  }
  // Every entry below `root`, links not followed.
  static std::set<std::string> entries(const std::string& root) {
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) found.insert(entry.path().string());
    return found;
  }

  TempTree dir;
  // Runs its arguments as given, as pkexec does once the user has authenticated.
  std::string passThrough = elevator("pkexec", "exec \"$@\"");
};

TEST_F(PrivilegedShellTest, TheLinkCommandCreatesExactlyTheLinkWhateverThePathHolds) {
  TempTree sandbox;
  const std::string root = sandbox.path();
  const std::string bundle =
      root + "/Apps/we'ird \"name\" \\ $HOME; touch pwned; $(touch pwned2) `touch pwned3` *|&>x/Halomark.app";
  const std::string target = bundle + "/Contents/MacOS/Halomark";
  fs::create_directories(fs::path(target).parent_path());
  std::ofstream(target) << "#!/bin/sh\n";
  const std::string link = root + "/usr/local/bin/halomark";
  auto before = entries(root);
  // Anything the command wrongly ran with a relative path would land in the sandbox.
  WorkingDirectory inSandbox(root);

  LinuxPrivilegedShell shell(passThrough);
  auto created = shell.run(Maintenance::linkCreationCommand(target, link));
  auto after = entries(root);

  EXPECT_EQ(created.outcome, PrivilegedResult::Outcome::succeeded) << created.message.value_or("");
  EXPECT_EQ(fs::read_symlink(link), target);
  std::set<std::string> added;
  for (const auto& entry : after)
    if (!before.contains(entry)) added.insert(entry);
  EXPECT_EQ(added,
            (std::set<std::string>{root + "/usr", root + "/usr/local", root + "/usr/local/bin", link}));

  // Replacing it works the same way, and removal deletes just the link.
  EXPECT_EQ(shell.run(Maintenance::linkCreationCommand(target, link)).outcome,
            PrivilegedResult::Outcome::succeeded);
  EXPECT_EQ(fs::read_symlink(link), target);
  const std::string oddLink = root + "/usr/local/bin/o'dd $name; rm -rf x";
  fs::create_symlink(target, oddLink);
  EXPECT_EQ(shell.run(Maintenance::linkRemovalCommand(oddLink)).outcome,
            PrivilegedResult::Outcome::succeeded);
  EXPECT_FALSE(fs::exists(fs::symlink_status(oddLink)));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::exists(target));
}

TEST_F(PrivilegedShellTest, ADismissedPromptIsCancelled) {
  LinuxPrivilegedShell shell(elevator(
      "dismissed", "echo 'Error executing command as another user: Request dismissed' >&2; exit 126"));
  auto result = shell.run("true");
  EXPECT_EQ(result.outcome, PrivilegedResult::Outcome::cancelled);
  EXPECT_EQ(result.message, std::nullopt);
}

TEST_F(PrivilegedShellTest, FailuresCarryTheErrorText) {
  LinuxPrivilegedShell refused(
      elevator("refused", "echo 'Error executing command as another user: Not authorized' >&2; exit 127"));
  auto result = refused.run("true");
  EXPECT_EQ(result.outcome, PrivilegedResult::Outcome::failed);
  EXPECT_EQ(result.message, "Error executing command as another user: Not authorized");

  LinuxPrivilegedShell shell(passThrough);
  result = shell.run("echo 'ln: /usr/local/bin/halomark: Read-only file system' >&2; echo noise; exit 1");
  EXPECT_EQ(result.outcome, PrivilegedResult::Outcome::failed);
  EXPECT_EQ(result.message, "ln: /usr/local/bin/halomark: Read-only file system");

  result = shell.run("exit 3");
  EXPECT_EQ(result.outcome, PrivilegedResult::Outcome::failed);
  EXPECT_EQ(result.message, std::nullopt);
}

TEST_F(PrivilegedShellTest, AMissingElevatorIsAReadableFailure) {
  LinuxPrivilegedShell shell(dir / "no-such-pkexec");
  auto result = shell.run("true");
  EXPECT_EQ(result.outcome, PrivilegedResult::Outcome::failed);
  ASSERT_TRUE(result.message);
  EXPECT_NE(result.message->find("Couldn't ask for administrator rights"), std::string::npos)
      << *result.message;
}

TEST_F(PrivilegedShellTest, NeverGivesTheElevatorATerminal) {
  // Exits 9 when standard input is a terminal, 7 when a controlling terminal can be opened, and 8
  // when standard input has anything to read.
  LinuxPrivilegedShell shell(elevator("checks",
                                      "[ -t 0 ] && exit 9; (: </dev/tty) 2>/dev/null && exit 7; "
                                      "read -r line && exit 8; exec \"$@\""));
  EXPECT_EQ(shell.run("true").outcome, PrivilegedResult::Outcome::succeeded);
}

}  // namespace
