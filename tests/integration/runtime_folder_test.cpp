// Halomark's runtime folder holds the instance lock and the emulated device's state. What someone
// plants there (a link to a file of the user's, a folder in the lock's place, a folder that is not
// the user's own) is refused with a message and left untouched, and a lock that cannot be used
// falls back to the next guard, so still only one application runs.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "integration/sandbox.h"

namespace {

namespace fs = std::filesystem;

class RuntimeFolderTest : public ::testing::Test {
 protected:
  explicit RuntimeFolderTest(Sandbox::Bus bus = Sandbox::Bus::privateSession) : sandbox(bus) {}

  std::string folder() const { return sandbox.runtimeDirectory() + "/halomark"; }
  std::string notes() const { return sandbox.home() + "/notes.txt"; }
  void plantNotes() {
    fs::create_directories(sandbox.home());
    std::ofstream(notes()) << "my notes\n";
    fs::create_directories(folder());
    ::chmod(folder().c_str(), 0700);
  }
  std::string notesNow() const {
    std::ifstream in(notes());
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<pid_t> applications() const {
    std::vector<pid_t> found;
    for (pid_t pid : sandbox.livingProcesses())
      if (Sandbox::commandLine(pid) == std::vector<std::string>{Sandbox::executable()}) found.push_back(pid);
    return found;
  }
  // Three copies started together where the lock cannot be used: one stays, and the tool sees it.
  void onlyOneOfThreeRuns() {
    fs::create_directories(folder() + "/application.lock");
    ::chmod(folder().c_str(), 0700);
    std::vector<pid_t> started;
    for (int i = 0; i < 3; ++i) started.push_back(sandbox.spawnApp());
    // Settled once two of the three have ended (a process that has ended has no command line) and
    // the third runs the executable: a copy that is still between fork and exec is neither.
    auto settled = [&] {
      int running = 0, ended = 0;
      for (pid_t pid : started) {
        auto line = Sandbox::commandLine(pid);
        running += line == std::vector<std::string>{Sandbox::executable()};
        ended += line.empty();
      }
      return running == 1 && ended == 2;
    };
    EXPECT_TRUE(Sandbox::waitUntil(settled, 15)) << applications().size() << " applications run";
    EXPECT_TRUE(Sandbox::waitUntil(
        [&] { return sandbox.run({"status"}).out.find("Halomark app: running") != std::string::npos; }, 10));
    auto survivor = applications();
    ASSERT_EQ(survivor.size(), 1u);
    EXPECT_NE(sandbox.output(survivor[0])
                  .err.find("halomark: can't use the instance lock: couldn't open " + folder() +
                            "/application.lock: Is a directory"),
              std::string::npos)
        << sandbox.output(survivor[0]).err;
    EXPECT_EQ(sandbox.stop(survivor[0]), 0);
  }

  Sandbox sandbox;
};

class RuntimeFolderWithoutABus : public RuntimeFolderTest {
 protected:
  RuntimeFolderWithoutABus() : RuntimeFolderTest(Sandbox::Bus::none) {}
};

TEST_F(RuntimeFolderTest, AnUnusableLockFallsBackToTheBusName) {
  ASSERT_EQ(sandbox.device({"create"}).status, 0);
  onlyOneOfThreeRuns();
}

TEST_F(RuntimeFolderWithoutABus, AnUnusableLockFallsBackToALookAtTheRunningCopies) {
  ASSERT_EQ(sandbox.device({"create"}).status, 0);
  onlyOneOfThreeRuns();
}

TEST_F(RuntimeFolderTest, PlantedLinksAreRefusedAndTheirTargetsKept) {
  plantNotes();
  fs::create_symlink(notes(), folder() + "/application.lock");
  fs::create_symlink(notes(), folder() + "/logo-device.json");

  auto created = sandbox.device({"create"});
  EXPECT_NE(created.status, 0);
  EXPECT_NE(created.err.find("refusing to follow the symbolic link at " + folder() + "/logo-device.json"),
            std::string::npos)
      << created.err;
  sandbox.run({"set", "80"});
  pid_t app = sandbox.spawnApp();
  EXPECT_TRUE(Sandbox::waitUntil(
      [&] { return sandbox.output(app).err.find("is a symbolic link") != std::string::npos; }, 10))
      << sandbox.output(app).err;
  sandbox.run({"set", "40"});
  sandbox.stop(app);
  EXPECT_EQ(notesNow(), "my notes\n") << "the links' target is untouched";
  EXPECT_TRUE(fs::is_symlink(folder() + "/logo-device.json"));
}

TEST_F(RuntimeFolderTest, AFolderThatIsNotTheUsersOwnGivesWayToOneInTheCache) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can hand a folder to another user";
  fs::create_directories(folder());
  ASSERT_EQ(::chown(folder().c_str(), 65534, 65534), 0);
  auto created = sandbox.device({"create"});
  EXPECT_EQ(created.status, 0) << created.err;
  EXPECT_NE(created.err.find(folder() + " belongs to another user; keeping Halomark's state in " +
                             sandbox.cacheHome() + "/halomark instead"),
            std::string::npos)
      << created.err;
  EXPECT_TRUE(fs::exists(sandbox.cacheHome() + "/halomark/logo-device.json"));
  EXPECT_TRUE(fs::is_empty(folder())) << "nothing is written into another user's folder";
  pid_t app = sandbox.spawnApp();
  EXPECT_TRUE(Sandbox::waitUntil(
      [&] { return sandbox.run({"status"}).out.find("Halomark app: running") != std::string::npos; }, 15));
  EXPECT_TRUE(fs::exists(sandbox.cacheHome() + "/halomark/application.lock"));
  EXPECT_TRUE(fs::is_empty(folder()));
  EXPECT_EQ(sandbox.stop(app), 0);
}

}  // namespace
