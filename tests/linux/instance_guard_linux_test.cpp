// The instance guard on a real lock file, and the running check, start wait and polite quit that
// the tool builds on it, with and without a session bus.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "dbusmock_bus.h"
#include "fakes/fake_instance_guard.h"
#include "fakes/temp_tree.h"
#include "formats/app_identifier.h"
#include "platform/linux_services/app_instances_linux.h"
#include "platform/linux_services/instance_guard_linux.h"
#include "platform/linux_utilities/sysfs_read.h"

namespace {

DBusBuses noBus() {
  auto unreachable = [] { return QDBusConnection(QStringLiteral("never-connected")); };
  return DBusBuses(unreachable, unreachable);
}

// A child process that takes the guard, marks it ready and waits for SIGTERM (exit 15).
pid_t holdInChild(const std::string& path) {
  pid_t pid = ::fork();
  if (pid == 0) {
    LinuxInstanceGuard guard(path);
    if (guard.acquire() != InstanceGuard::Acquired::yes) ::_exit(1);
    guard.markReady();
    ::signal(SIGTERM, [](int) { ::_exit(15); });
    for (;;) ::pause();
  }
  return pid;
}

TEST(LinuxInstanceGuardTest, OneHolderNamedOnceReadyAndReleasedWhenItEnds) {
  TempTree scratch;
  const std::string path = scratch / "run/halomark/application.lock";
  LinuxInstanceGuard observer(path);
  EXPECT_FALSE(observer.holder()) << "no file yet";

  {
    LinuxInstanceGuard first(path);
    LinuxInstanceGuard second(path);
    ASSERT_EQ(first.acquire(), InstanceGuard::Acquired::yes) << "the folder is created as needed";
    EXPECT_EQ(second.acquire(), InstanceGuard::Acquired::heldElsewhere);
    auto starting = observer.holder();
    ASSERT_TRUE(starting);
    EXPECT_FALSE(starting->pid) << "not listening yet";
    first.markReady();
    auto ready = observer.holder();
    ASSERT_TRUE(ready && ready->pid);
    EXPECT_EQ(*ready->pid, ::getpid());
  }
  EXPECT_FALSE(observer.holder()) << "the old id left in the file does not count once the lock is gone";

  // A process that dies without a word releases it too.
  pid_t child = holdInChild(path);
  ASSERT_TRUE(waitUntil([&] { return observer.holder() && observer.holder()->pid; }, 5));
  EXPECT_EQ(*observer.holder()->pid, child);
  LinuxInstanceGuard late(path);
  EXPECT_EQ(late.acquire(), InstanceGuard::Acquired::heldElsewhere);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_FALSE(observer.holder());
  EXPECT_EQ(late.acquire(), InstanceGuard::Acquired::yes);
}

TEST(LinuxInstanceGuardTest, ALookAtTheGuardDoesNotKeepAnApplicationOut) {
  TempTree scratch;
  const std::string path = scratch / "application.lock";
  LinuxInstanceGuard(path).holder();
  TempTree::write(path, "");
  // Someone looking holds a shared lock for a moment while the application starts.
  int look = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(look, LOCK_SH), 0);
  std::thread done([look] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ::close(look);
  });
  LinuxInstanceGuard application(path);
  EXPECT_EQ(application.acquire(), InstanceGuard::Acquired::yes);
  done.join();
}

// What another user, or a mistake, may leave where the lock belongs: the guard refuses to use it,
// says why, and changes nothing it points to.
TEST(LinuxInstanceGuardTest, APlantedLinkOrAnUnusableFileOrFolderIsRefusedAndLeftAlone) {
  TempTree scratch;
  std::string notes = scratch.makeFile("notes.txt", "my notes\n");
  std::string folder = scratch / "run/halomark";
  std::filesystem::create_directories(folder);
  ::chmod(folder.c_str(), 0700);

  scratch.makeLink("run/halomark/application.lock", notes);
  LinuxInstanceGuard linked(folder + "/application.lock");
  EXPECT_EQ(linked.acquire(), InstanceGuard::Acquired::unusable);
  EXPECT_EQ(linked.problem(), folder + "/application.lock is a symbolic link");
  EXPECT_FALSE(linked.holder());
  EXPECT_EQ(*Sysfs::readFile(notes), "my notes\n") << "the link's target is untouched";

  std::filesystem::remove(folder + "/application.lock");
  std::filesystem::create_directory(folder + "/application.lock");
  LinuxInstanceGuard directory(folder + "/application.lock");
  EXPECT_EQ(directory.acquire(), InstanceGuard::Acquired::unusable);
  EXPECT_TRUE(directory.problem());

  std::filesystem::remove(folder + "/application.lock");
  ASSERT_EQ(::mkfifo((folder + "/application.lock").c_str(), 0600), 0);
  LinuxInstanceGuard pipe(folder + "/application.lock");
  EXPECT_EQ(pipe.acquire(), InstanceGuard::Acquired::unusable) << "refused without waiting for a writer";
  EXPECT_EQ(pipe.problem(), folder + "/application.lock is not a plain file");
  std::filesystem::remove(folder + "/application.lock");

  // The folder itself: one others may change, or a link to a folder elsewhere.
  ::chmod(folder.c_str(), 0777);
  LinuxInstanceGuard open(folder + "/application.lock");
  EXPECT_EQ(open.acquire(), InstanceGuard::Acquired::unusable);
  EXPECT_EQ(open.problem(), folder + " can be entered by other users");
  ::chmod(folder.c_str(), 0700);
  scratch.makeLink("run/elsewhere", folder);
  LinuxInstanceGuard throughLink(scratch / "run/elsewhere/application.lock");
  EXPECT_EQ(throughLink.acquire(), InstanceGuard::Acquired::unusable);
  EXPECT_EQ(throughLink.problem(), scratch / "run/elsewhere is a symbolic link");
  EXPECT_FALSE(std::filesystem::exists(folder + "/application.lock"));

  // One others may only read, as earlier versions made it, is closed to them and used.
  ::chmod(folder.c_str(), 0755);
  LinuxInstanceGuard fine(folder + "/application.lock");
  EXPECT_EQ(fine.acquire(), InstanceGuard::Acquired::yes);
  EXPECT_EQ(fine.problem(), std::nullopt);
  struct stat closed {};
  ASSERT_EQ(::stat(folder.c_str(), &closed), 0);
  EXPECT_EQ(closed.st_mode & 0777, 0700u);
}

TEST(LinuxInstanceGuardTest, TheFolderIsCreatedPrivateAndAnEarlierHoldersIdGoesOnlyOnceTheLockIsHeld) {
  TempTree scratch;
  std::string path = scratch / "run/halomark/application.lock";
  LinuxInstanceGuard first(path);
  ASSERT_EQ(first.acquire(), InstanceGuard::Acquired::yes);
  struct stat folder {};
  ASSERT_EQ(::stat((scratch / "run/halomark").c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);
  first.markReady();
  LinuxInstanceGuard second(path);
  EXPECT_EQ(second.acquire(), InstanceGuard::Acquired::heldElsewhere);
  EXPECT_EQ(*Sysfs::readFile(path), std::to_string(::getpid()) + "\n") << "a refused copy truncates nothing";
}

TEST(LinuxAppInstancesTest, AnUnusableLockFallsBackToTheBusName) {
  ensureCoreApplication();
  DBusMockBus bus;
  ASSERT_TRUE(bus.started());
  FakeInstanceGuard firstGuard(1), secondGuard(2);
  firstGuard.unusable = secondGuard.unusable = true;
  LinuxAppInstances first(firstGuard, bus.buses());
  EXPECT_TRUE(first.claim(kAppIdentifier));
  EXPECT_TRUE(first.isRunning(kAppIdentifier));
  // Another process: a connection of its own.
  auto other = QDBusConnection::connectToBus(bus.address(), QStringLiteral("second-copy"));
  auto second = DBusBuses([other] { return other; }, [other] { return other; });
  LinuxAppInstances secondInstances(secondGuard, second);
  EXPECT_FALSE(secondInstances.claim(kAppIdentifier)) << "the name keeps the second copy out";
}

TEST(LinuxAppInstancesTest, WithoutABusTheGuardIsTheRunningInstance) {
  ensureCoreApplication();
  TempTree scratch;
  const std::string path = scratch / "application.lock";
  LinuxInstanceGuard tool(path);
  LinuxAppInstances instances(tool, noBus(), 2);
  EXPECT_FALSE(instances.isRunning(kAppIdentifier));

  pid_t child = holdInChild(path);
  ASSERT_TRUE(waitUntil([&] { return tool.holder() && tool.holder()->pid; }, 5));
  EXPECT_TRUE(instances.isRunning(kAppIdentifier));
  LinuxInstanceGuard secondGuard(path);
  LinuxAppInstances second(secondGuard, noBus());
  EXPECT_FALSE(second.claim(kAppIdentifier)) << "a second copy stays out without any bus";

  instances.requestQuit(kAppIdentifier);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 15) << "SIGTERM, the application's normal quit";
  EXPECT_FALSE(instances.isRunning(kAppIdentifier));
  EXPECT_TRUE(second.claim(kAppIdentifier));
}

TEST(LinuxAppInstancesTest, ARunningCheckWaitsForAnInstanceThatIsStarting) {
  ensureCoreApplication();
  FakeInstanceGuard guard;
  guard.lock()->held = true;
  guard.onHolderCheck = [looks = 0](FakeInstanceGuard::Lock& lock) mutable {
    if (++looks == 4) lock.pid = 777;
  };
  LinuxAppInstances instances(guard, noBus(), 5);
  EXPECT_TRUE(instances.isRunning(kAppIdentifier));
  EXPECT_EQ(guard.holderChecks, 4) << "it waited until the instance listened";

  // One that never gets ready still counts as running once the wait is over: starting another
  // copy would only find the guard taken.
  FakeInstanceGuard stuck;
  stuck.lock()->held = true;
  LinuxAppInstances patient(stuck, noBus(), 0.1);
  EXPECT_TRUE(patient.isRunning(kAppIdentifier));
  EXPECT_GT(stuck.holderChecks, 1);
}

}  // namespace
