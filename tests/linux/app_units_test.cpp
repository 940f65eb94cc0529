// Application IDs from systemd unit names and cgroups, and .desktop file lookup.
#include "platform/linux_utilities/app_units.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/linux_utilities/desktop_entries.h"

namespace {

using AppUnits::appIdFromCgroup;
using AppUnits::appIdFromUnit;

TEST(AppUnits, UnitNamesOfLaunchedApplications) {
  EXPECT_EQ(appIdFromUnit("app-gnome-org.gnome.Terminal-4123.scope"), "org.gnome.Terminal");
  EXPECT_EQ(appIdFromUnit("app-org.kde.konsole-5b1e0c3f.scope"), "org.kde.konsole");
  EXPECT_EQ(appIdFromUnit("app-flatpak-org.mozilla.firefox-20331.scope"), "org.mozilla.firefox");
  EXPECT_EQ(appIdFromUnit("app-gnome-xdg\\x2duser\\x2ddirs-1811.scope"), "xdg-user-dirs");
  EXPECT_EQ(appIdFromUnit("app-org.example.Editor.service"), "org.example.Editor");
  EXPECT_EQ(appIdFromUnit("app-gnome-org.example.Editor@autostart.service"), "org.example.Editor");
  EXPECT_EQ(appIdFromUnit("app-kde-firefox\\x2desr@0f3a.service"), "firefox-esr");
}

TEST(AppUnits, OtherUnitsAreNotApplications) {
  EXPECT_EQ(appIdFromUnit("app.slice"), std::nullopt);
  EXPECT_EQ(appIdFromUnit("session-2.scope"), std::nullopt);
  EXPECT_EQ(appIdFromUnit("pipewire.service"), std::nullopt);
  EXPECT_EQ(appIdFromUnit("app-org.example.Editor.socket"), std::nullopt);
  EXPECT_EQ(appIdFromUnit("app-1234.scope"), std::nullopt);
  EXPECT_EQ(appIdFromUnit("app-dbus\\x2d:1.2\\x2dorg.a11y.atspi.Registry@0.service"), std::nullopt);
  EXPECT_EQ(appIdFromUnit("app-.service"), std::nullopt);
}

TEST(AppUnits, CgroupsOfBothHierarchies) {
  EXPECT_EQ(appIdFromCgroup("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                            "app-gnome-org.gnome.Terminal-4123.scope\n"),
            "org.gnome.Terminal");
  EXPECT_EQ(appIdFromCgroup("0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
                            "app-org.example.Editor.service/tab-3\n"),
            "org.example.Editor");
  EXPECT_EQ(appIdFromCgroup("12:cpuset:/\n1:name=systemd:/user.slice/user-1000.slice/user@1000.service/"
                            "app.slice/app-org.kde.konsole-77.scope\n0::/\n"),
            "org.kde.konsole");
  EXPECT_EQ(appIdFromCgroup("0::/user.slice/user-1000.slice/session-2.scope\n"), std::nullopt);
  EXPECT_EQ(appIdFromCgroup(""), std::nullopt);
}

class DesktopEntriesTest : public ::testing::Test {
 protected:
  std::string data = std::string(HALOMARK_TEST_DATA) + "/xdg/";
  DesktopEntries entries{{data + "home/applications", data + "system/applications"}};
  void TearDown() override { unsetenv("LC_ALL"); }
};

TEST_F(DesktopEntriesTest, LookupFollowsPriorityAndNesting) {
  EXPECT_EQ(entries.path("org.example.Editor"), data + "system/applications/org.example.Editor.desktop");
  EXPECT_EQ(entries.path("org.example.Viewer"), data + "home/applications/org.example.Viewer.desktop");
  EXPECT_EQ(entries.path("kde-konsole"), data + "system/applications/kde/konsole.desktop");
  EXPECT_EQ(entries.path("org.example.Removed"), std::nullopt) << "hidden by the user's copy";
  EXPECT_EQ(entries.path("org.example.Missing"), std::nullopt);
  EXPECT_EQ(entries.path("../system/applications/org.example.Editor"), std::nullopt);
  EXPECT_EQ(entries.path(""), std::nullopt);
}

TEST_F(DesktopEntriesTest, NamesInTheUsersLanguage) {
  std::string editor = data + "system/applications/org.example.Editor.desktop";
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(DesktopEntries::name(editor), "Text Editor") << "an action's name must not win";
  setenv("LC_ALL", "de_AT.UTF-8", 1);
  EXPECT_EQ(DesktopEntries::name(editor), "Texteditor");
  setenv("LC_ALL", "pt_BR.UTF-8", 1);
  EXPECT_EQ(DesktopEntries::name(editor), "Editor de Texto");
  setenv("LC_ALL", "pt_PT", 1);
  EXPECT_EQ(DesktopEntries::name(editor), "Text Editor");
  EXPECT_EQ(DesktopEntries::name(data + "system/applications/kde/konsole.desktop"), "Konsole");
}

TEST_F(DesktopEntriesTest, DisplayNameFallsBackToTheFileName) {
  EXPECT_EQ(DesktopEntries::displayName(data + "home/applications/org.example.Viewer.desktop"), "My Viewer");
  EXPECT_EQ(DesktopEntries::displayName(data + "system/applications/nameless-tool.desktop"), "nameless-tool");
  EXPECT_EQ(DesktopEntries::displayName("/nonexistent/org.example.Gone.desktop"), "org.example.Gone");
  EXPECT_EQ(DesktopEntries::displayName("/nonexistent/plain"), "plain");
}

}  // namespace
