#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "fakes/temp_tree.h"
#include "integration/sandbox.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTableKeys[] = {"LEPWMBrightnessNitsMapping", "LEPWMLuxToMinNitsRestrictionMapping",
                                      "LEPWMLuxToMaxNitsRestrictionMapping"};

// A sandbox holding its own copy of the built bundle, which the uninstall may move to the Trash.
class UninstallTest : public ::testing::Test {
 protected:
  UninstallTest() {
    fs::create_directories(sandbox.root() + "/Applications");
    fs::copy(Sandbox::bundle(), bundle, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }

  std::string link(const std::string& relative, const std::string& destination) {
    std::string path = sandbox.home() + "/" + relative;
    fs::create_directories(fs::path(path).parent_path());
    fs::create_symlink(destination, path);
    return path;
  }
  void writePreferences(const nlohmann::json& values) {
    std::string file = sandbox.preferencesFile();
    fs::create_directories(fs::path(file).parent_path());
    std::ofstream(file) << values.dump();
  }

  Sandbox sandbox;
  std::string bundle = sandbox.root() + "/Applications/Halomark.app";
  std::string executable = bundle + "/Contents/MacOS/Halomark";
  std::string trashed = sandbox.dataHome() + "/Trash/files/Halomark.app";
};

TEST_F(UninstallTest, QuitsTheApplicationRestoresTheLogoAndRemovesEverything) {
  ASSERT_EQ(sandbox.device({"create"}).status, 0);
  const auto platformTables = sandbox.deviceState();
  std::string absolute = link(".local/bin/halomark", executable);
  std::string relative = link("bin/halomark", "../../Applications/Halomark.app/Contents/MacOS/Halomark");
  // The application keeps the logo off when it quits, so only the uninstall can give it back.
  writePreferences({{"quitBehavior", "keepOff"}, {"setting", "off"}});
  pid_t app = sandbox.spawn(executable, {});
  const std::string desktopEntry = sandbox.dataHome() + "/applications/app.halomark.Halomark.desktop";
  ASSERT_TRUE(Sandbox::waitUntil(
      [&] { return sandbox.deviceState()["LEBacklightMode"] == 0 && fs::exists(desktopEntry); }, 10))
      << sandbox.deviceState().dump();

  auto declined = sandbox.runProgram(executable, {"uninstall"}, "no\n");
  EXPECT_EQ(declined.status, 1);
  EXPECT_EQ(declined.out,
            "This restores Apple's normal logo behavior, removes Halomark's settings and command links,\n"
            "and moves " +
                bundle + " to the Trash. Continue? [y/N] Cancelled.\n");
  EXPECT_TRUE(fs::exists(executable));
  EXPECT_TRUE(fs::exists(sandbox.preferencesFile()));
  auto living = sandbox.livingProcesses();
  EXPECT_NE(std::find(living.begin(), living.end(), app), living.end())
      << "the application quit, though declined";

  auto result = sandbox.runProgram(executable, {"uninstall", "-y"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Logo restored to Apple's normal behavior.\n"
            "Removed command link " +
                absolute +
                "\n"
                "Removed command link " +
                relative +
                "\n"
                "Moved Halomark to the Trash (" +
                trashed + ").\n");
  EXPECT_EQ(result.err, "");
  // It was asked to quit and had gone before the uninstall went on.
  EXPECT_EQ(sandbox.wait(app, 0.5), 0);

  auto logo = sandbox.deviceState();
  EXPECT_EQ(logo["LEBacklightMode"], 2);
  for (const char* key : kTableKeys) EXPECT_EQ(logo[key], platformTables[key]) << key;
  for (const char* domain : {"app.halomark.Halomark", "app.orrin.Orrin", "app.halomark.Orrin"}) {
    EXPECT_FALSE(fs::exists(sandbox.preferencesFile(domain))) << domain;
  }
  // Not even a lock file of a domain that never existed is left behind.
  const std::string settingsFolder = fs::path(sandbox.preferencesFile()).parent_path().string();
  EXPECT_TRUE(!fs::exists(settingsFolder) || fs::is_empty(settingsFolder));
  EXPECT_FALSE(fs::exists(fs::symlink_status(absolute)));
  EXPECT_FALSE(fs::exists(fs::symlink_status(relative)));
  EXPECT_FALSE(fs::exists(desktopEntry));
  EXPECT_FALSE(fs::exists(bundle));
  EXPECT_TRUE(fs::exists(trashed + "/Contents/MacOS/Halomark"));
  EXPECT_NE(TempTree::read(sandbox.dataHome() + "/Trash/info/Halomark.app.trashinfo").find("Path=" + bundle),
            std::string::npos);
}

TEST_F(UninstallTest, ALinkThatCannotBeDeletedIsReportedWithTheCommandThatRemovesIt) {
  // Root may delete anything, except on a read-only mount: the uninstall runs in a mount namespace
  // of its own where the link's folder is mounted read-only.
  if (sandbox.runProgram("/usr/bin/unshare", {"--mount", "true"}).status != 0) {
    GTEST_SKIP() << "mount namespaces are not available here";
  }
  std::string stuck = link("bin/halomark", executable);
  std::string folder = sandbox.home() + "/bin";
  auto result = sandbox.runProgram(
      "/usr/bin/unshare",
      {"--mount", "/bin/sh", "-c",
       "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" && exec \"$2\" uninstall --yes", "sh",
       folder, executable});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Logo restored to Apple's normal behavior.\n"
            "Couldn't remove " +
                stuck + " \u2014 delete it with: sudo rm " + stuck +
                "\n"
                "Moved Halomark to the Trash (" +
                trashed + ").\n");
  EXPECT_TRUE(fs::is_symlink(stuck));
  EXPECT_TRUE(fs::exists(trashed));
}

}  // namespace
