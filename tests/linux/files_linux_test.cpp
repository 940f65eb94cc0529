#include "platform/linux/files_linux.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
