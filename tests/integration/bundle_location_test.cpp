#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "fakes/temp_tree.h"
#include "integration/sandbox.h"

namespace {

namespace fs = std::filesystem;

// The value the build wrote under `key` in the bundle's Info.plist.
std::string infoValue(const std::string& key) {
  std::smatch match;
  std::string plist = TempTree::read(Sandbox::bundle() + "/Contents/Info.plist");
  std::regex pattern("<key>" + key + "</key>\\s*<string>([^<]*)</string>");
  return std::regex_search(plist, match, pattern) ? match[1].str() : "";
}

std::string expectedVersionLine() {
  return "Halomark " + infoValue("CFBundleShortVersionString") + " (" + infoValue("CFBundleVersion") + ")\n";
}

// Processes of the sandbox that run the bundle's executable with no arguments: the application.
std::vector<pid_t> applications(const Sandbox& sandbox) {
  std::vector<pid_t> found;
  std::string executable = fs::canonical(Sandbox::executable()).string();
  for (pid_t pid : sandbox.livingProcesses()) {
    if (Sandbox::commandLine(pid) == std::vector<std::string>{executable}) found.push_back(pid);
  }
  return found;
}

TEST(BundleLocationTest, VersionThroughLinksPlacedElsewhere) {
  Sandbox sandbox;
  ASSERT_NE(infoValue("CFBundleShortVersionString"), "");
  fs::path bin = sandbox.home() + "/bin";
  fs::create_directories(bin);
  // A link to the build's own link: both are resolved.
  fs::create_symlink(Sandbox::commandLink(), bin / "halomark");

  auto direct = sandbox.runProgram(Sandbox::commandLink(), {"version"});
  EXPECT_EQ(direct.status, 0);
  EXPECT_EQ(direct.out, expectedVersionLine());

  auto linked = sandbox.runProgram((bin / "halomark").string(), {"--version"});
  EXPECT_EQ(linked.out, expectedVersionLine());

  // Found on the PATH by a shell, the program sees only its name.
  sandbox.setEnvironment("PATH", bin.string() + ":/usr/bin:/bin");
  auto onPath = sandbox.runProgram((bin / "halomark").string(), {"version"}, {}, "halomark");
  EXPECT_EQ(onPath.out, expectedVersionLine());
  EXPECT_EQ(onPath.err, "");
}

TEST(BundleLocationTest, CopyOutsideABundleHasNoVersion) {
  Sandbox sandbox;
  fs::path copy = sandbox.home() + "/Halomark";
  fs::copy_file(Sandbox::executable(), copy);
  auto result = sandbox.runProgram(copy.string(), {"version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "Halomark ? (?)\n");
}

TEST(BundleLocationTest, ToolStartsTheApplicationFromItsBundle) {
  Sandbox sandbox;
  fs::path bin = sandbox.home() + "/bin";
  fs::create_directories(bin);
  fs::create_symlink(Sandbox::executable(), bin / "halomark");
  ASSERT_TRUE(applications(sandbox).empty());

  // Found on the PATH by a shell, as a user types it.
  sandbox.setEnvironment("PATH", bin.string() + ":/usr/bin:/bin");
  auto result = sandbox.runProgram((bin / "halomark").string(), {"off"}, {}, "halomark");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  // The started application outlives the tool, detached from it.
  EXPECT_TRUE(Sandbox::waitUntil([&] { return applications(sandbox).size() == 1; }, 5));
}

}  // namespace
