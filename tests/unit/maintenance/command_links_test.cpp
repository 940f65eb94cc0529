#include "maintenance/command_links.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/fake_maintenance.h"
#include "fakes/temp_tree.h"

namespace fs = std::filesystem;

namespace {

// With the working directory inside a folder, the process's "/proc/self/cwd" is a link into it that
// nobody, root included, can delete: the way to make a link deletion fail in a test.
constexpr const char* kUndeletableLink = "/proc/self/cwd";

// A temporary tree standing in for the command folders and the home folder.
class CommandLinksTest : public ::testing::Test {
 protected:
  TempTree tree;
  std::string bundle = tree.makeBundle("Applications/Halomark.app");
  std::string otherCopy = tree.makeBundle("Old/Halomark.app");
  std::string target = bundle + "/Contents/MacOS/Halomark";
  Maintenance::CommandLinkLocations locations{
      tree.path("usr/local/bin/halomark"),
      {tree.path("usr/local/bin/halomark"), tree.path("opt/homebrew/bin/halomark"),
       tree.path("home/.local/bin/halomark"), tree.path("home/bin/halomark")}};
  FakePrivilegedShell shell;

  std::optional<std::string> install(bool on) {
    return Maintenance::setCommandInstalled(on, bundle, locations, shell);
  }
};

TEST(CommandLinkLocationsTest, StandardFoldersThenTheHomeFolder) {
  auto locations = Maintenance::commandLinkLocations("/home/ann");
  EXPECT_EQ(locations.standard, "/usr/local/bin/halomark");
  EXPECT_EQ(locations.cleaned,
            (std::vector<std::string>{"/usr/local/bin/halomark", "/opt/homebrew/bin/halomark",
                                      "/home/ann/.local/bin/halomark", "/home/ann/bin/halomark"}));
  EXPECT_EQ(Maintenance::commandLinkLocations("/home/ann/").cleaned[3], "/home/ann/bin/halomark");
}

TEST_F(CommandLinksTest, NothingThere) {
  EXPECT_FALSE(Maintenance::isCommandInstalled(bundle, locations));
  EXPECT_EQ(install(false), std::nullopt);
  auto cleaned = Maintenance::removeCommandLinks(bundle, locations);
  EXPECT_TRUE(cleaned.removed.empty());
  EXPECT_TRUE(cleaned.failed.empty());
  EXPECT_TRUE(shell.commands.empty());
  EXPECT_FALSE(fs::exists(tree.path("usr")));
}

TEST_F(CommandLinksTest, CreatesTheFolderAndAnAbsoluteLinkThenRemovesIt) {
  EXPECT_EQ(install(true), std::nullopt);
  EXPECT_EQ(fs::read_symlink(locations.standard), target);
  EXPECT_TRUE(Maintenance::isCommandInstalled(bundle, locations));

  EXPECT_EQ(install(false), std::nullopt);
  EXPECT_FALSE(fs::is_symlink(fs::symlink_status(locations.standard)));
  EXPECT_FALSE(Maintenance::isCommandInstalled(bundle, locations));
  EXPECT_TRUE(shell.commands.empty());
}

TEST_F(CommandLinksTest, SomethingForeignIsNeverTouched) {
  const std::string refusal =
      locations.standard + " already exists and isn't Halomark's. Remove or rename it first.";
  tree.makeFile("usr/local/bin/halomark", "someone else's tool");
  EXPECT_EQ(install(true), refusal);
  EXPECT_EQ(install(false), refusal);
  EXPECT_EQ(TempTree::read(locations.standard), "someone else's tool");
  EXPECT_FALSE(Maintenance::isCommandInstalled(bundle, locations));

  fs::remove(locations.standard);
  tree.makeLink("usr/local/bin/halomark", "/usr/bin/env");
  EXPECT_EQ(install(true), refusal);
  EXPECT_EQ(fs::read_symlink(locations.standard), "/usr/bin/env");
  EXPECT_TRUE(shell.commands.empty());
}

TEST_F(CommandLinksTest, AnOldLinkToAnotherCopyIsReplaced) {
  tree.makeLink("usr/local/bin/halomark", otherCopy + "/Contents/MacOS/Halomark");
  EXPECT_FALSE(Maintenance::isCommandInstalled(bundle, locations));
  EXPECT_EQ(install(true), std::nullopt);
  EXPECT_EQ(fs::read_symlink(locations.standard), target);
  EXPECT_TRUE(Maintenance::isCommandInstalled(bundle, locations));
}

TEST_F(CommandLinksTest, InstalledIsJudgedByRealPaths) {
  tree.makeLink("Linked", tree.path("Applications"));
  std::string linkedBundle = tree.path("Linked/Halomark.app");
  tree.makeLink("usr/local/bin/halomark", target);
  EXPECT_TRUE(Maintenance::isCommandInstalled(linkedBundle, locations));

  // A sibling whose name merely starts with the bundle's is another bundle.
  std::string sibling = tree.makeBundle("Applications/Halomark.app2");
  fs::remove(locations.standard);
  tree.makeLink("usr/local/bin/halomark", sibling + "/Contents/MacOS/Halomark");
  EXPECT_FALSE(Maintenance::isCommandInstalled(bundle, locations));
  EXPECT_TRUE(Maintenance::isCommandInstalled(sibling, locations));
  // A dangling link is not installed.
  fs::remove_all(bundle);
  EXPECT_FALSE(Maintenance::isCommandInstalled(bundle, locations));
}

TEST_F(CommandLinksTest, CleaningRemovesOnlyLinksIntoThisBundle) {
  locations.cleaned.push_back(tree.path("elsewhere/halomark"));
  tree.makeLink("usr/local/bin/halomark", target);
  tree.makeLink("opt/homebrew/bin/halomark",
                tree.makeBundle("Applications/Halomark.app2") + "/Contents/MacOS/Halomark");
  tree.makeLink("home/.local/bin/halomark", otherCopy + "/Contents/MacOS/Halomark");
  tree.makeLink("home/bin/halomark", "../../Applications/Halomark.app/Contents/MacOS/Halomark");
  tree.makeFile("elsewhere/halomark", "foreign");

  auto cleaned = Maintenance::removeCommandLinks(bundle, locations);
  EXPECT_EQ(cleaned.removed, (std::vector<std::string>{locations.cleaned[0], locations.cleaned[3]}));
  EXPECT_TRUE(cleaned.failed.empty());
  EXPECT_FALSE(fs::exists(fs::symlink_status(locations.cleaned[0])));
  EXPECT_FALSE(fs::exists(fs::symlink_status(locations.cleaned[3])));
  EXPECT_TRUE(fs::is_symlink(locations.cleaned[1]));
  EXPECT_TRUE(fs::is_symlink(locations.cleaned[2]));
  EXPECT_EQ(TempTree::read(locations.cleaned[4]), "foreign");
  EXPECT_TRUE(fs::exists(target));
}

TEST_F(CommandLinksTest, CleaningReportsLinksThatCannotBeDeleted) {
  tree.makeLink("home/bin/halomark", target);
  WorkingDirectory inside(bundle + "/Contents");
  locations.cleaned = {kUndeletableLink, locations.cleaned[3]};
  auto cleaned = Maintenance::removeCommandLinks(bundle, locations);
  EXPECT_EQ(cleaned.failed, std::vector<std::string>{kUndeletableLink});
  EXPECT_EQ(cleaned.removed, std::vector<std::string>{locations.cleaned[1]});
  EXPECT_TRUE(shell.commands.empty());
}

TEST_F(CommandLinksTest, WithoutTheBundleNothingCountsAsItsLink) {
  tree.makeLink("usr/local/bin/halomark", "/");
  auto cleaned = Maintenance::removeCommandLinks(tree.path("Missing/Halomark.app"), locations);
  EXPECT_TRUE(cleaned.removed.empty());
  EXPECT_TRUE(fs::is_symlink(locations.standard));
}

TEST_F(CommandLinksTest, RefusedCreationAsksForAdministratorRightsWithEveryPathQuoted) {
  shell.result = PrivilegedResult{};  // the user approves
  bundle = tree.makeBundle("Odd \"name\" \\ $HOME ; touch x; it's `id`/Halomark.app");
  target = bundle + "/Contents/MacOS/Halomark";
  tree.makeFile("usr/local/bin", "a file where the folder should be");
  const std::string quotedTarget = "'" +
                                   tree.path("Odd \"name\" \\ $HOME ; touch x; it'\\''s `id`/Halomark.app") +
                                   "/Contents/MacOS/Halomark'";
  const std::string expected = "mkdir -p '" + tree.path("usr/local/bin") + "' && ln -sfn " + quotedTarget +
                               " '" + locations.standard + "'";
  EXPECT_EQ(Maintenance::linkCreationCommand(target, locations.standard), expected);

  EXPECT_EQ(install(true), std::nullopt);
  EXPECT_EQ(shell.commands, std::vector<std::string>{expected});

  shell.result = {PrivilegedResult::Outcome::cancelled, std::nullopt};
  EXPECT_EQ(install(true), std::nullopt);
  shell.result = {PrivilegedResult::Outcome::failed, "Not authorized"};
  EXPECT_EQ(install(true), "Not authorized");
  shell.result = {PrivilegedResult::Outcome::failed, std::nullopt};
  EXPECT_EQ(install(true), "Unknown error");
  shell.result = {PrivilegedResult::Outcome::failed, ""};
  EXPECT_EQ(install(true), "Unknown error");
}

TEST_F(CommandLinksTest, RefusedRemovalOfOurLinkAsksForAdministratorRights) {
  shell.result = PrivilegedResult{};  // the user approves
  // A folder named like the executable makes the undeletable link look like ours.
  fs::create_directories(tree.path("Stuck.app/Contents/MacOS/Halomark"));
  WorkingDirectory inside(tree.path("Stuck.app/Contents/MacOS/Halomark"));
  locations.standard = kUndeletableLink;

  EXPECT_EQ(install(false), std::nullopt);
  EXPECT_EQ(shell.commands, std::vector<std::string>{"rm -f '/proc/self/cwd'"});
  // Replacing it is refused as well, so the creation goes the same way.
  EXPECT_EQ(install(true), std::nullopt);
  EXPECT_EQ(shell.commands.back(), "mkdir -p '/proc/self' && ln -sfn '" + target + "' '/proc/self/cwd'");
}

TEST(ShellWordTest, QuotesOnlyWhatTheShellWouldReadOtherwise) {
  EXPECT_EQ(Maintenance::shellWord("/usr/local/bin/halomark"), "/usr/local/bin/halomark");
  EXPECT_EQ(Maintenance::shellWord("/home/ann lee/bin/halomark"), "'/home/ann lee/bin/halomark'");
  EXPECT_EQ(Maintenance::shellWord("/home/o'neil/bin/halomark"), "'/home/o'\\''neil/bin/halomark'");
  EXPECT_EQ(Maintenance::shellWord("/tmp/$x;*"), "'/tmp/$x;*'");
  EXPECT_EQ(Maintenance::shellWord(""), "''");
}

}  // namespace
