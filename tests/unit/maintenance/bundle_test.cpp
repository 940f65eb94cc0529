#include "maintenance/bundle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/fake_platform.h"
#include "fakes/temp_tree.h"
#include "prefs/app_identifier.h"

namespace {

namespace fs = std::filesystem;

class BundleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root / "Halomark.app" / "Contents" / "MacOS");
    std::ofstream(root / "Halomark.app" / "Contents" / "MacOS" / "Halomark") << "";
    fs::create_directories(root / "bin");
  }
  std::string bundle() const { return (root / "Halomark.app").string(); }
  std::string executable() const { return Maintenance::executablePath(bundle()); }

  TempTree scratch;
  fs::path root = scratch.root();
  FakePlatform fake;
};

TEST_F(BundleTest, MainBundleWinsWhenItIsTheApplication) {
  fake.bundles.mainIdentifier = kAppIdentifier;
  fake.bundles.mainPath = "/opt/Halomark.app";
  fake.process.args = {"/somewhere/else"};
  EXPECT_EQ(Maintenance::appBundleURL(fake.platform), "/opt/Halomark.app");

  fake.bundles.mainIdentifier = "org.example.Other";
  EXPECT_EQ(Maintenance::appBundleURL(fake.platform), std::nullopt);
}

TEST_F(BundleTest, FollowsLinksFromTheFirstArgument) {
  fs::create_symlink(executable(), root / "bin" / "halomark");
  fs::create_symlink(root / "bin" / "halomark", root / "bin" / "hm");
  fake.process.args = {(root / "bin" / "hm").string(), "version"};
  EXPECT_EQ(Maintenance::appBundleURL(fake.platform), fs::canonical(bundle()).string());
  EXPECT_EQ(Maintenance::executablePath("/opt/Halomark.app"), "/opt/Halomark.app/Contents/MacOS/Halomark");
}

TEST_F(BundleTest, RelativeFirstArgumentIsMadeAbsolute) {
  auto previous = fs::current_path();
  fs::current_path(root);
  fake.process.args = {"Halomark.app/Contents/MacOS/Halomark"};
  auto found = Maintenance::appBundleURL(fake.platform);
  fs::current_path(previous);
  EXPECT_EQ(found, fs::canonical(bundle()).string());
}

TEST_F(BundleTest, ExecutableOutsideABundleHasNone) {
  fs::copy_file(executable(), root / "bin" / "Halomark");
  fake.process.args = {(root / "bin" / "Halomark").string()};
  EXPECT_EQ(Maintenance::appBundleURL(fake.platform), std::nullopt);
  fake.process.args = {"/Halomark"};
  EXPECT_EQ(Maintenance::appBundleURL(fake.platform), std::nullopt);
  fake.process.args = {};
  EXPECT_EQ(Maintenance::appBundleURL(fake.platform), std::nullopt);
}

TEST_F(BundleTest, VersionsComeFromTheBundleElseTheMainBundle) {
  fake.process.args = {executable()};
  fake.bundles.infoByPath[fs::canonical(bundle()).string()] = {{"CFBundleShortVersionString", "1.4"},
                                                               {"CFBundleVersion", "27"}};
  fake.bundles.mainInfo = PlistDictionary{{"CFBundleShortVersionString", "9.9"}};
  EXPECT_EQ(Maintenance::versionLine(fake.platform), "Halomark 1.4 (27)");

  fake.process.args = {"/usr/bin/Halomark"};
  EXPECT_EQ(Maintenance::versionLine(fake.platform), "Halomark 9.9 (?)");
}

TEST_F(BundleTest, MissingOrNonStringValuesReadAsQuestionMarks) {
  fake.process.args = {"/usr/bin/Halomark"};
  EXPECT_EQ(Maintenance::versionLine(fake.platform), "Halomark ? (?)");
  fake.bundles.mainInfo = PlistDictionary{{"CFBundleShortVersionString", 14}, {"CFBundleVersion", nullptr}};
  EXPECT_EQ(Maintenance::shortVersion(fake.platform), "?");
  EXPECT_EQ(Maintenance::buildVersion(fake.platform), "?");
}

}  // namespace
