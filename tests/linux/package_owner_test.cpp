#include "platform/linux_utilities/package_owner.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/temp_tree.h"
#include "platform/linux_services/bundles_linux.h"
#include "platform/linux_services/process_info_linux.h"

namespace fs = std::filesystem;

namespace {

// Debian machines (every build and test machine) answer for their own files.
TEST(PackageOwnerTest, NamesTheOwningPackageOfASystemFileAndNoneForOthers) {
  EXPECT_EQ(PackageOwner::of("/usr/bin/dpkg-query"), "dpkg");
  // Patterns and partial names never match by accident.
  EXPECT_EQ(PackageOwner::of("/usr/bin/dpkg-quer"), std::nullopt);
  EXPECT_EQ(PackageOwner::of("/usr/bin/dpkg-quer*"), std::nullopt);
  EXPECT_EQ(PackageOwner::of("usr/bin/dpkg-query"), std::nullopt);

  TempTree scratch;
  TempTree::write(scratch / "mine", "mine");
  EXPECT_EQ(PackageOwner::of(scratch / "mine"), std::nullopt);

  EXPECT_EQ(PackageOwner::of("/usr/bin/dpkg-query", "/nonexistent/dpkg-query"), std::nullopt)
      << "no package database to ask is no package";
}

TEST(PackageOwnerTest, ABundleIsJudgedByItsRealFolder) {
  char program[8] = "halo";
  char* argv[2] = {program, nullptr};
  LinuxProcessInfo process{1, argv};
  LinuxBundles bundles(process);
  TempTree scratch;
  // A link to a packaged folder counts as the folder itself; a folder of the user's is no package's.
  // The folder is one that a single essential package owns on every Debian machine: a folder that
  // several packages share (dpkg's documentation is dpkg-dev's too) is named after whichever of
  // them the machine installed first.
  const std::string link = scratch / "Linked.app";
  fs::create_directory_symlink("/usr/share/doc/coreutils", link);
  EXPECT_EQ(bundles.installingPackage(link), "coreutils");
  EXPECT_EQ(bundles.installingPackage(scratch.path()), std::nullopt);
  EXPECT_EQ(bundles.installingPackage(scratch / "Missing.app"), std::nullopt);
}

}  // namespace
