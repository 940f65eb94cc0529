// Finding other copies of the application on a fixture process table: same executable, same user,
// started without arguments; and of copies started together, only the earliest stays.
#include "platform/linux_utilities/own_copies.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "fakes/temp_tree.h"

namespace {

class OwnCopiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    executable = scratch.makeFile("bin/Halomark");
    other = scratch.makeFile("bin/other");
    scratch.makeLink("proc/self/exe", executable);
    addProcess(::getpid(), executable, {"Halomark"}, 5000);
  }
  // A process entry as the kernel shows it: the executable link, the NUL-separated arguments and
  // environment (this process's runtime folder and home unless given), and the start time (field 22
  // of stat, after a command name with a space and parentheses).
  void addProcess(long pid, const std::string& program, const std::vector<std::string>& arguments,
                  unsigned long long started, std::optional<std::string> runtime = {}) {
    std::string folder = "proc/" + std::to_string(pid);
    std::string environment = "LANG=C.UTF-8";
    for (const char* name : {"XDG_RUNTIME_DIR", "HOME"}) {
      std::optional<std::string> value;
      if (const char* own = std::getenv(name)) value = own;
      if (runtime && std::string(name) == "XDG_RUNTIME_DIR") value = runtime;
      if (value) environment += std::string(1, '\0') + name + "=" + *value;
    }
    scratch.makeFile(folder + "/environ", environment + '\0');
    scratch.makeLink(folder + "/exe", program);
    std::string commandLine;
    for (const auto& argument : arguments) commandLine += argument + '\0';
    scratch.makeFile(folder + "/cmdline", commandLine);
    std::string stat = std::to_string(pid) + " (Halo (mark)) S";
    for (int field = 4; field <= 21; ++field) stat += " " + std::to_string(field);
    scratch.makeFile(folder + "/stat", stat + " " + std::to_string(started) + " 23 24\n");
  }
  std::filesystem::path proc() const { return scratch.root() / "proc"; }

  TempTree scratch;
  std::string executable, other;
};

TEST_F(OwnCopiesTest, CountsOnlyTheApplicationRunFromTheSameExecutable) {
  addProcess(100, executable, {"Halomark"}, 4000);
  addProcess(101, executable, {"halomark", "status"}, 3000);
  addProcess(102, other, {"other"}, 3000);
  EXPECT_EQ(OwnCopies::all(proc()), (std::vector<long>{100}));
  EXPECT_EQ(OwnCopies::startedEarlier(proc()), (std::vector<long>{100}));
}

TEST_F(OwnCopiesTest, OfCopiesStartedTogetherOnlyTheEarliestStays) {
  addProcess(200, executable, {"Halomark"}, 6000);
  EXPECT_EQ(OwnCopies::startedEarlier(proc()), std::vector<long>{}) << "this copy is the earliest";
  long sameTick = ::getpid() - 1;
  addProcess(sameTick, executable, {"Halomark"}, 5000);
  EXPECT_EQ(OwnCopies::startedEarlier(proc()), std::vector<long>{sameTick}) << "a lower id wins a tie";
  EXPECT_EQ(OwnCopies::all(proc())->size(), 2u);
}

TEST_F(OwnCopiesTest, ACopyKeepingItsStateElsewhereIsNoRival) {
  // Another login session of the user, or a test's sandbox: its lock lives in another runtime folder.
  addProcess(300, executable, {"Halomark"}, 4000, "/run/user/elsewhere");
  EXPECT_EQ(OwnCopies::all(proc()), std::vector<long>{});
  EXPECT_EQ(OwnCopies::startedEarlier(proc()), std::vector<long>{});
}

TEST_F(OwnCopiesTest, AProcessTableThatCannotBeReadIsSaidSo) {
  EXPECT_EQ(OwnCopies::all(scratch.root() / "nothing"), std::nullopt);
  EXPECT_EQ(OwnCopies::startedEarlier(scratch.root() / "nothing"), std::nullopt);
}

}  // namespace
