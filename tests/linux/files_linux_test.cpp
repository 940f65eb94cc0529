#include "platform/linux_services/files_linux.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "fakes/temp_tree.h"

namespace {

namespace fs = std::filesystem;

mode_t permissions(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST(LinuxFiles, CreatesAndReplacesKeepingPermissionsAndLeavingNoTemporaryFiles) {
  TempTree scratch;
  LinuxFiles files;
  std::string path = scratch / "settings.json";
  EXPECT_EQ(files.writeAtomically(path, "first"), std::nullopt);
  EXPECT_EQ(TempTree::read(path), "first");

  ::chmod(path.c_str(), 0640);
  EXPECT_EQ(files.writeAtomically(path, "second"), std::nullopt);
  EXPECT_EQ(TempTree::read(path), "second");
  EXPECT_EQ(permissions(path), 0640u);

  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(scratch.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(LinuxFiles, SymbolicLinksStayLinksAndTheirTargetIsReplaced) {
  TempTree scratch;
  LinuxFiles files;
  TempTree::write(scratch / "dotfiles/settings.json", "old");
  ::chmod((scratch / "dotfiles/settings.json").c_str(), 0600);
  fs::create_directories(scratch / "home/.claude");
  fs::create_symlink("../../dotfiles/settings.json", scratch / "home/.claude/settings.json");
  fs::create_symlink(scratch / "home/.claude/settings.json", scratch / "second-link");

  EXPECT_EQ(files.writeAtomically(scratch / "second-link", "new"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(scratch / "second-link"));
  EXPECT_TRUE(fs::is_symlink(scratch / "home/.claude/settings.json"));
  EXPECT_EQ(TempTree::read(scratch / "dotfiles/settings.json"), "new");
  EXPECT_EQ(permissions(scratch / "dotfiles/settings.json"), 0600u);

  fs::create_symlink("missing-target", scratch / "dangling");
  EXPECT_EQ(files.writeAtomically(scratch / "dangling", "made"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(scratch / "dangling"));
  EXPECT_EQ(TempTree::read(scratch / "missing-target"), "made");
}

TEST(LinuxFiles, FailuresReturnTextAndLeaveTheFileAsItWas) {
  TempTree scratch;
  LinuxFiles files;
  auto missingFolder = files.writeAtomically(scratch / "no/such/folder/file", "x");
  ASSERT_TRUE(missingFolder);
  EXPECT_NE(missingFolder->find(scratch / "no/such/folder/file"), std::string::npos) << *missingFolder;

  fs::create_directories(scratch / "a-directory/inside");
  EXPECT_TRUE(files.writeAtomically(scratch / "a-directory", "x"));
  EXPECT_TRUE(fs::is_directory(scratch / "a-directory/inside"));

  fs::create_symlink("loop-b", scratch / "loop-a");
  fs::create_symlink("loop-a", scratch / "loop-b");
  EXPECT_TRUE(files.writeAtomically(scratch / "loop-a", "x"));
}

// Leaves `path` as a writer that died half way would: a temporary file last changed a minute ago.
std::string leftover(const std::string& path) {
  TempTree::write(path, "half a copy");
  struct timespec times[2] = {{::time(nullptr) - 60, 0}, {::time(nullptr) - 60, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
  return path;
}

TEST(LinuxFiles, TemporaryFilesOfDeadWritersAreRemovedAndThoseOfLiveOnesKept) {
  TempTree scratch;
  LinuxFiles files;
  auto dead = leftover(scratch / ".settings.json.4242-123456-0.tmp");
  auto deadToo = leftover(scratch / ".settings.json.99-1-17.tmp");
  auto live = leftover(scratch / ".settings.json.4243-123456-0.tmp");
  int writer = ::open(live.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(writer, LOCK_EX), 0) << "a writer still at work holds the lock on its file";
  TempTree::write(scratch / ".settings.json.4244-1-0.tmp", "just created, not locked yet");
  auto otherFile = leftover(scratch / ".other.json.4242-123456-0.tmp");
  auto notOurs = leftover(scratch / ".settings.json.backup.tmp");

  EXPECT_EQ(files.writeAtomically(scratch / "settings.json", "new"), std::nullopt);
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_FALSE(fs::exists(deadToo));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(scratch / ".settings.json.4244-1-0.tmp"));
  EXPECT_TRUE(fs::exists(otherFile)) << "only the written file's own temporary files are looked at";
  EXPECT_TRUE(fs::exists(notOurs));
  ::close(writer);
  EXPECT_EQ(files.writeAtomically(scratch / "settings.json", "newer"), std::nullopt);
  EXPECT_FALSE(fs::exists(live)) << "its writer has gone";
}

}  // namespace
