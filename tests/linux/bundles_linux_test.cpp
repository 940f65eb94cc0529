#include "platform/linux_services/bundles_linux.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "fakes/temp_tree.h"
#include "linux/dbusmock_bus.h"
#include "platform/linux_services/app_instances_linux.h"
#include "platform/linux_services/instance_guard_linux.h"
#include "platform/linux_services/process_info_linux.h"
#include "platform/linux_utilities/plist_xml.h"

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

// Records how it was started: argument count, session id, pid, what its standard input and error
// are, its working directory and whether it got the caller's descriptor 9.
const char* kRecordingExecutable = R"sh(#!/bin/sh
here=$(dirname "$0")
inherited=$([ -e /proc/$$/fd/9 ] && echo inherited || echo closed)
echo "$# $(cut -d' ' -f6 /proc/$$/stat) $$ $(readlink /proc/$$/fd/0) $(readlink /proc/$$/fd/2)" \
  "$(readlink /proc/$$/cwd) $inherited" > "$here/../started.tmp"
mv "$here/../started.tmp" "$here/../started"
)sh";

// Stands for an application started without a session bus: it takes the instance guard given as
// its first argument, and is ready only after a pause.
const char* kGuardedApplication = R"sh(#!/bin/sh
exec /usr/bin/python3 -c '
import fcntl, os, sys, time
guard = open(sys.argv[1], "a+")
fcntl.flock(guard, fcntl.LOCK_EX)
time.sleep(0.5)
guard.truncate(0)
guard.write(str(os.getpid()) + "\n")
guard.flush()
time.sleep(60)
' "$GUARD"
)sh";

// Stands for an application that takes a while to start: it owns its name on the bus only after a
// pause, and ends with the bus.
const char* kSlowApplication = R"sh(#!/bin/sh
exec /usr/bin/python3 -c '
import dbus, sys, time
time.sleep(0.5)
bus = dbus.bus.BusConnection(sys.argv[1])
bus.request_name(sys.argv[2])
while True:
    time.sleep(0.2)
    bus.get_name_owner("org.freedesktop.DBus")
' "$BUS_ADDRESS" org.example.Slow
)sh";

const char* kSlowInfoPlist = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
	<key>CFBundleExecutable</key>
	<string>Slow</string>
	<key>CFBundleIdentifier</key>
	<string>org.example.Slow</string>
</dict>
</plist>
)";

// No session bus: nothing to wait for beyond the start itself.
DBusBuses noBuses() {
  auto absent = [] { return QDBusConnection(QStringLiteral("halomark-test-no-bus")); };
  return DBusBuses(absent, absent);
}

class LinuxBundlesTest : public ::testing::Test {
 protected:
  TempTree scratch;
  std::string bundle = scratch / "Apps/Halomark.app";
  std::string executable = bundle + "/Contents/MacOS/Halomark";
  char program[8] = "halo";
  char* argv[2] = {program, nullptr};
  LinuxProcessInfo process{1, argv};

  void SetUp() override {
    TempTree::write(bundle + "/Contents/Info.plist", kInfoPlist);
    TempTree::write(executable, kRecordingExecutable);
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
  TempTree::write(scratch / "bin/Contents/MacOS/Halomark", "");
  TempTree::write(scratch / "bin/Contents/Info.plist", kInfoPlist);
  LinuxBundles plain(process, scratch / "bin/Contents/MacOS/Halomark");
  EXPECT_FALSE(plain.mainBundlePath());
  EXPECT_FALSE(plain.mainBundleIdentifier());

  TempTree::write(scratch / "Broken.app/Contents/MacOS/Halomark", "");
  TempTree::write(scratch / "Broken.app/Contents/Info.plist", "<plist><dict><key>A</key></dict>");
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
  LinuxBundles bundles(process, executable, noBuses());
  // A descriptor the caller left open to its children.
  int open = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(::dup2(open, 9), 0);
  ::close(open);
  auto started = bundles.openApplication(bundle, 10);
  ::close(9);
  ASSERT_EQ(started, std::nullopt);
  std::string marker = bundle + "/Contents/started";
  for (int i = 0; i < 500 && !fs::exists(marker); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::istringstream recorded(TempTree::read(marker));
  int argumentCount = -1;
  long session = 0, pid = 0;
  std::string input, error, directory, descriptor;
  recorded >> argumentCount >> session >> pid >> input >> error >> directory >> descriptor;
  EXPECT_EQ(argumentCount, 0);
  EXPECT_EQ(session, pid) << "the application leads a session of its own";
  EXPECT_EQ(input, "/dev/null");
  EXPECT_EQ(error, "/dev/null") << "the caller's terminal is not the application's";
  EXPECT_EQ(directory, "/") << "the folder the user happened to be in is not pinned";
  EXPECT_EQ(descriptor, "closed");

  auto missing = bundles.openApplication(scratch / "Apps/Missing.app", 10);
  ASSERT_TRUE(missing);
  EXPECT_NE(missing->find("Missing.app"), std::string::npos) << *missing;
}

TEST_F(LinuxBundlesTest, OpenApplicationCompletesOnceTheApplicationOwnsItsName) {
  DBusMockBus bus;
  ASSERT_TRUE(bus.started());
  std::string slow = scratch / "Apps/Slow.app";
  std::string script = kSlowApplication;
  script.replace(script.find("$BUS_ADDRESS"), 12, bus.address().toStdString());
  TempTree::write(slow + "/Contents/Info.plist", kSlowInfoPlist);
  TempTree::write(slow + "/Contents/MacOS/Slow", script);
  ::chmod((slow + "/Contents/MacOS/Slow").c_str(), 0755);

  LinuxBundles bundles(process, executable, bus.buses());
  ASSERT_EQ(bundles.openApplication(slow, 60), std::nullopt);
  QDBusConnection connection = bus.connection();
  EXPECT_TRUE(DBusCall::hasOwner(connection, "org.example.Slow")) << "a request sent now reaches it";
  LinuxInstanceGuard unused(scratch / "unused.lock");
  LinuxAppInstances(unused, bus.buses()).requestQuit("org.example.Slow");

  // A start that ends at once (a second copy, say) will never own the name: no waiting for it. With
  // the whole time limit spent, this would outlast the test's own.
  ASSERT_EQ(bundles.openApplication(bundle, 600), std::nullopt);
  EXPECT_FALSE(DBusCall::hasOwner(connection, "app.halomark.Halomark"));
}

TEST_F(LinuxBundlesTest, WithoutABusOpenApplicationCompletesOnceTheGuardIsReady) {
  std::string guarded = scratch / "Apps/Guarded.app";
  std::string guardPath = scratch / "run/application.lock";
  std::string script = kGuardedApplication;
  script.replace(script.find("$GUARD"), 6, guardPath);
  TempTree::write(guarded + "/Contents/Info.plist", kSlowInfoPlist);
  TempTree::write(guarded + "/Contents/MacOS/Slow", script);
  TempTree::write(guardPath, "");
  // The guard's folder is one of the user's own that no one else may enter.
  ::chmod((scratch / "run").c_str(), 0700);
  ::chmod((guarded + "/Contents/MacOS/Slow").c_str(), 0755);

  LinuxInstanceGuard guard(guardPath);
  LinuxBundles bundles(process, executable, noBuses(), &guard);
  ASSERT_EQ(bundles.openApplication(guarded, 60), std::nullopt);
  auto holder = guard.holder();
  ASSERT_TRUE(holder);
  EXPECT_TRUE(holder->pid) << "a request sent now reaches it";
  LinuxAppInstances(guard, noBuses()).requestQuit("org.example.Slow");
  EXPECT_TRUE(waitUntil([&] { return !guard.holder(); }, 10));
}

}  // namespace
