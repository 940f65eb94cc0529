#include "platform/linux_services/desktop_integration_linux.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fakes/temp_tree.h"

namespace fs = std::filesystem;

namespace {

class LinuxDesktopIntegrationTest : public ::testing::Test {
 protected:
  TempTree scratch;
  fs::path root = scratch.root();
};

TEST_F(LinuxDesktopIntegrationTest, WritesTheHandlerAndTheBusServiceOnce) {
  LinuxDesktopIntegration desktop(root.string());
  const std::string executable = "/opt/My $Apps/Halomark.app/Contents/MacOS/Halomark";
  desktop.install(executable);

  EXPECT_EQ(desktop.desktopEntryPath(), (root / "applications/app.halomark.Halomark.desktop").string());
  EXPECT_EQ(desktop.serviceFilePath(), (root / "dbus-1/services/app.halomark.Halomark.service").string());
  std::string entry = TempTree::read(desktop.desktopEntryPath());
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(entry.find("\nName=Halomark\n"), std::string::npos);
  EXPECT_NE(entry.find("\nExec=\"/opt/My \\\\$Apps/Halomark.app/Contents/MacOS/Halomark\" %u\n"),
            std::string::npos)
      << entry;
  EXPECT_NE(entry.find("\nMimeType=x-scheme-handler/halomark;\n"), std::string::npos);
  EXPECT_NE(entry.find("\nDBusActivatable=true\n"), std::string::npos);
  EXPECT_NE(entry.find("\nIcon=app.halomark.Halomark\n"), std::string::npos);
  EXPECT_EQ(TempTree::read(desktop.serviceFilePath()),
            "[D-BUS Service]\nName=app.halomark.Halomark\n"
            "Exec=\"/opt/My $Apps/Halomark.app/Contents/MacOS/Halomark\"\n");

  // A second launch from the same place leaves the files alone; from elsewhere it updates them.
  auto stamp = fs::last_write_time(desktop.desktopEntryPath());
  fs::last_write_time(desktop.desktopEntryPath(), stamp - std::chrono::hours(1));
  desktop.install(executable);
  EXPECT_EQ(fs::last_write_time(desktop.desktopEntryPath()), stamp - std::chrono::hours(1));
  desktop.install("/usr/lib/halomark/Halomark.app/Contents/MacOS/Halomark");
  EXPECT_NE(TempTree::read(desktop.serviceFilePath()).find("Exec=\"/usr/lib/halomark/"), std::string::npos);
}

TEST_F(LinuxDesktopIntegrationTest, APathThatCannotBeWrittenSafelyWritesNeitherFile) {
  LinuxDesktopIntegration desktop(root.string());
  const std::string injected = "/tmp/x\nExec=sh -c evil\n/Halomark.app/Contents/MacOS/Halomark";
  auto failures = desktop.write(injected);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0], "couldn't write " + desktop.desktopEntryPath() +
                             ": its Exec value holds a line break, another control character or text that "
                             "isn't UTF-8");
  EXPECT_EQ(failures[1].rfind("couldn't write " + desktop.serviceFilePath() + ": its Exec value", 0), 0u);
  EXPECT_FALSE(fs::exists(desktop.desktopEntryPath()));
  EXPECT_FALSE(fs::exists(desktop.serviceFilePath()));

  // What an earlier start wrote stays as it was.
  EXPECT_TRUE(desktop.write("/opt/Halomark.app/Contents/MacOS/Halomark").empty());
  const std::string entry = TempTree::read(desktop.desktopEntryPath());
  EXPECT_EQ(desktop.write("/opt/\xff/Halomark.app/Contents/MacOS/Halomark").size(), 2u);
  EXPECT_EQ(TempTree::read(desktop.desktopEntryPath()), entry);
}

TEST_F(LinuxDesktopIntegrationTest, RemoveDeletesBothAndReportsWhatStays) {
  LinuxDesktopIntegration desktop(root.string());
  EXPECT_TRUE(desktop.remove().empty()) << "nothing installed is nothing to report";
  desktop.install("/opt/Halomark.app/Contents/MacOS/Halomark");
  EXPECT_TRUE(desktop.remove().empty());
  EXPECT_FALSE(fs::exists(desktop.desktopEntryPath()));
  EXPECT_FALSE(fs::exists(desktop.serviceFilePath()));

  fs::create_directories(desktop.serviceFilePath() + "/blocking");
  auto failures = desktop.remove();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find(desktop.serviceFilePath()), std::string::npos);
}

void writeFile(const fs::path& path, const std::string& contents) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << contents;
}

TEST_F(LinuxDesktopIntegrationTest, LeavesRegistrationToIdenticalSystemCopies) {
  const std::string packaged = "/usr/lib/halomark/Halomark.app/Contents/MacOS/Halomark";
  const fs::path system = root / "usr-share";
  // What the package ships is what the application itself writes for its installed path.
  LinuxDesktopIntegration(system.string()).install(packaged);
  const fs::path local = root / "usr-local-share";
  const fs::path home = root / "home";
  LinuxDesktopIntegration desktop(home.string(), {local.string(), system.string()});

  // A stale per-user copy from an earlier start elsewhere would shadow the system files: it goes.
  LinuxDesktopIntegration(home.string()).install("/opt/old/Halomark.app/Contents/MacOS/Halomark");
  desktop.install(packaged);
  EXPECT_FALSE(fs::exists(desktop.desktopEntryPath()));
  EXPECT_FALSE(fs::exists(desktop.serviceFilePath()));

  // Started from a build elsewhere, the system files describe another program: the user gets own copies.
  desktop.install("/home/me/build/Halomark.app/Contents/MacOS/Halomark");
  EXPECT_NE(TempTree::read(desktop.desktopEntryPath()).find("/home/me/build/"), std::string::npos);
  EXPECT_NE(TempTree::read(desktop.serviceFilePath()).find("/home/me/build/"), std::string::npos);

  // The first system directory holding the file decides: a different copy earlier in the list wins
  // over an identical one later, so the user keeps a copy of their own.
  writeFile(local / "applications/app.halomark.Halomark.desktop", "[Desktop Entry]\nName=Other\n");
  desktop.install(packaged);
  EXPECT_TRUE(fs::exists(desktop.desktopEntryPath()));
  EXPECT_FALSE(fs::exists(desktop.serviceFilePath()));
  EXPECT_NE(TempTree::read(desktop.desktopEntryPath()).find("Exec=\"/usr/lib/halomark/"), std::string::npos);
}

TEST_F(LinuxDesktopIntegrationTest, OffersTheLogoActionsAndTheRunnerPlugin) {
  LinuxDesktopIntegration desktop(root.string());
  desktop.install("/opt/Halomark.app/Contents/MacOS/Halomark");
  std::string entry = TempTree::read(desktop.desktopEntryPath());
  EXPECT_NE(entry.find("\nActions=turn-off;turn-on;toggle;\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\n[Desktop Action turn-off]\nName=Logo Off\n"
                       "Exec=\"/opt/Halomark.app/Contents/MacOS/Halomark\" off\n"),
            std::string::npos)
      << entry;
  EXPECT_NE(entry.find("\n[Desktop Action turn-on]\nName=Logo On\n"), std::string::npos);
  EXPECT_NE(entry.find("\n[Desktop Action toggle]\nName=Toggle Logo\n"), std::string::npos);
  // The main group's keys all come before the first action group.
  EXPECT_LT(entry.find("DBusActivatable=true"), entry.find("[Desktop Action"));

  EXPECT_EQ(desktop.runnerPluginPath(),
            (root / "krunner/dbusplugins/app.halomark.Halomark.desktop").string());
  std::string plugin = TempTree::read(desktop.runnerPluginPath());
  for (const char* line :
       {"Type=Service", "X-Plasma-API=DBus", "X-Plasma-DBusRunner-Service=app.halomark.Halomark",
        "X-Plasma-DBusRunner-Path=/runner", "X-KDE-PluginInfo-Name=app.halomark.Halomark"})
    EXPECT_NE(plugin.find(std::string("\n") + line + "\n"), std::string::npos) << line;
  EXPECT_TRUE(desktop.remove().empty());
  EXPECT_FALSE(fs::exists(desktop.runnerPluginPath()));
}

}  // namespace

namespace {

TEST_F(LinuxDesktopIntegrationTest, CopiesTheBundlesIconsIntoTheThemeAndRemovesThem) {
  fs::path bundle = root / "Halomark.app";
  fs::create_directories(bundle / "Contents/MacOS");
  fs::path icons = bundle / "Contents/Resources/icons/hicolor";
  fs::create_directories(icons / "48x48/apps");
  fs::create_directories(icons / "scalable/apps");
  std::ofstream(icons / "48x48/apps/app.halomark.Halomark.png") << "png";
  std::ofstream(icons / "scalable/apps/app.halomark.Halomark.svg") << "<svg/>";
  fs::create_directories(icons / "scalable/status");
  std::ofstream(icons / "scalable/status/app.halomark.Halomark-unlit-symbolic.svg") << "<svg id='unlit'/>";
  fs::path data = root / "data";
  LinuxDesktopIntegration desktop(data.string());
  desktop.install((bundle / "Contents/MacOS/Halomark").string());

  EXPECT_EQ(TempTree::read((data / "icons/hicolor/48x48/apps/app.halomark.Halomark.png").string()), "png");
  EXPECT_EQ(TempTree::read((data / "icons/hicolor/scalable/apps/app.halomark.Halomark.svg").string()), "<svg/>");
  // The tray icon's states, where a panel that recolours symbolic icons looks them up by name.
  EXPECT_EQ(
      TempTree::read((data / "icons/hicolor/scalable/status/app.halomark.Halomark-unlit-symbolic.svg").string()),
      "<svg id='unlit'/>");
  EXPECT_FALSE(fs::exists(data / "icons/hicolor/16x16/apps/app.halomark.Halomark.png"))
      << "not in the bundle";
  EXPECT_NE(TempTree::read(desktop.desktopEntryPath()).find("\nIcon=app.halomark.Halomark\n"), std::string::npos);

  EXPECT_TRUE(desktop.remove().empty());
  EXPECT_FALSE(fs::exists(data / "icons/hicolor/48x48/apps/app.halomark.Halomark.png"));
  EXPECT_FALSE(fs::exists(data / "icons/hicolor/scalable/apps/app.halomark.Halomark.svg"));
  EXPECT_FALSE(fs::exists(data / "icons/hicolor/scalable/status/app.halomark.Halomark-unlit-symbolic.svg"));
}

}  // namespace
