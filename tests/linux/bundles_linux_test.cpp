#include "platform/linux/bundles_linux.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "linux/scratch_directory.h"
#include "platform/linux/plist_xml.h"
#include "platform/linux/process_info_linux.h"

namespace {

namespace fs = std::filesystem;

const char* kInfoPlist = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>CFBundleExecutable</key>
	<string>Halomark</string>
	<key>CFBundleIdentifier</key>
	<string>app.halomark.Halomark</string>
	<key>CFBundleShortVersionString</key>
	<string>1.0</string>
	<key>Count</key>
	<integer>-42</integer>
	<key>Ratio</key>
	<real>2.5</real>
	<key>Whole</key>
	<real>3</real>
	<key>Enabled</key>
	<true/>
	<key>Disabled</key>
	<false/>
	<key>CFBundleURLTypes</key>
	<array>
		<dict>
			<key>CFBundleURLSchemes</key>
			<array>
				<string>halomark</string>
			</array>
		</dict>
	</array>
	<key>Escaped</key>
	<string>a &amp; b</string>
</dict>
</plist>
)";

// Records how it was started: argument count, session id, pid and what its standard input is.
const char* kRecordingExecutable = R"sh(#!/bin/sh
here=$(dirname "$0")
echo "$# $(cut -d' ' -f6 /proc/$$/stat) $$ $(readlink /proc/$$/fd/0)" > "$here/../started.tmp"
mv "$here/../started.tmp" "$here/../started"
)sh";

class LinuxBundlesTest : public ::testing::Test {
 protected:
  ScratchDirectory scratch;
  std::string bundle = scratch / "Apps/Halomark.app";
  std::string executable = bundle + "/Contents/MacOS/Halomark";
  char program[8] = "halo";
  char* argv[2] = {program, nullptr};
  LinuxProcessInfo process{1, argv};

  void SetUp() override {
    ScratchDirectory::write(bundle + "/Contents/Info.plist", kInfoPlist);
    ScratchDirectory::write(executable, kRecordingExecutable);
    ::chmod(executable.c_str(), 0755);
  }
};

TEST_F(LinuxBundlesTest, MainBundleIsTheAppFolderHoldingTheExecutable) {
  LinuxBundles bundles(process, executable);
  EXPECT_EQ(bundles.mainBundlePath(), bundle);
  EXPECT_EQ(bundles.mainBundleIdentifier(), "app.halomark.Halomark");
  auto info = bundles.mainBundleInfo();
  ASSERT_TRUE(info);
  EXPECT_EQ(info->at("CFBundleShortVersionString"), "1.0");
  EXPECT_TRUE(info->at("Count").is_number_integer());
  EXPECT_EQ(info->at("Count").get<long long>(), -42);
  EXPECT_EQ(info->at("Ratio").get<double>(), 2.5);
  EXPECT_TRUE(info->at("Whole").is_number_float());
  EXPECT_EQ(info->at("Enabled"), true);
  EXPECT_EQ(info->at("Disabled"), false);
  EXPECT_EQ(info->at("CFBundleURLTypes")[0]["CFBundleURLSchemes"][0], "halomark");
  EXPECT_EQ(info->at("Escaped"), "a & b");

  EXPECT_EQ(bundles.bundleInfo(bundle), info);
  EXPECT_FALSE(bundles.bundleInfo(scratch / "Apps/Missing.app"));
}

TEST_F(LinuxBundlesTest, NoMainBundleOutsideAnAppFolder) {
  ScratchDirectory::write(scratch / "bin/Contents/MacOS/Halomark", "");
  ScratchDirectory::write(scratch / "bin/Contents/Info.plist", kInfoPlist);
  LinuxBundles plain(process, scratch / "bin/Contents/MacOS/Halomark");
  EXPECT_FALSE(plain.mainBundlePath());
  EXPECT_FALSE(plain.mainBundleIdentifier());

  ScratchDirectory::write(scratch / "Broken.app/Contents/MacOS/Halomark", "");
  ScratchDirectory::write(scratch / "Broken.app/Contents/Info.plist", "<plist><dict><key>A</key></dict>");
  LinuxBundles broken(process, scratch / "Broken.app/Contents/MacOS/Halomark");
  EXPECT_FALSE(broken.mainBundleInfo());

  LinuxBundles testProgram(process);
  EXPECT_FALSE(testProgram.mainBundlePath()) << "the test executable is not in a bundle";
}

TEST_F(LinuxBundlesTest, PropertyListsOtherThanDictionariesAndMalformedOnesAreRecognised) {
  EXPECT_EQ(PlistXml::parse("<plist><array><integer>1</integer><string>x</string></array></plist>"),
            PlistValue::array({1, "x"}));
  EXPECT_FALSE(PlistXml::parse("<plist><integer>one</integer></plist>"));
  EXPECT_FALSE(PlistXml::parse("<dict></dict>"));
  EXPECT_FALSE(PlistXml::parse("<plist><dict><key>a</key><string>unclosed</dict></plist>"));
  EXPECT_FALSE(PlistXml::parse("not xml"));
}

TEST_F(LinuxBundlesTest, OpenApplicationStartsTheExecutableDetachedWithoutArguments) {
  LinuxBundles bundles(process, executable);
  ASSERT_EQ(bundles.openApplication(bundle, 10), std::nullopt);
  std::string marker = bundle + "/Contents/started";
  for (int i = 0; i < 500 && !fs::exists(marker); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::istringstream recorded(ScratchDirectory::read(marker));
  int argumentCount = -1;
  long session = 0, pid = 0;
  std::string input;
  recorded >> argumentCount >> session >> pid >> input;
  EXPECT_EQ(argumentCount, 0);
  EXPECT_EQ(session, pid) << "the application leads a session of its own";
  EXPECT_EQ(input, "/dev/null");

  auto missing = bundles.openApplication(scratch / "Apps/Missing.app", 10);
  ASSERT_TRUE(missing);
  EXPECT_NE(missing->find("Missing.app"), std::string::npos) << *missing;
}

}  // namespace
