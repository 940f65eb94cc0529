#include "platform/linux_services/installed_applications_linux.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "fakes/temp_tree.h"

namespace {

const std::string kData = std::string(HALOMARK_TEST_DATA) + "/xdg/";

class InstalledApplicationsLinuxTest : public ::testing::Test {
 protected:
  InstalledApplicationsLinuxTest() { unsetenv("LC_ALL"), unsetenv("LC_MESSAGES"), unsetenv("LANG"); }
  LinuxInstalledApplications apps{
      DesktopEntries({kData + "home/applications", kData + "system/applications"})};
};

TEST_F(InstalledApplicationsLinuxTest, ListsWhatTheMenusShowByNameWithTheUsersCopiesFirst) {
  std::vector<std::string> listed;
  for (const auto& app : apps.all()) listed.push_back(app.id + "=" + app.name + "|" + app.icon);
  // The user's hidden copy removes the system's entry; the user's own copy replaces it.
  EXPECT_EQ(listed, (std::vector<std::string>{"kde-konsole=Konsole|", "org.example.Viewer=My Viewer|",
                                              "nameless-tool=nameless-tool|",
                                              "org.example.Editor=Text Editor|accessories-text-editor"}));
}

TEST_F(InstalledApplicationsLinuxTest, FindsByIdAndReadsAChosenFile) {
  auto editor = apps.find("org.example.Editor");
  ASSERT_TRUE(editor);
  EXPECT_EQ(editor->icon, "accessories-text-editor");
  EXPECT_FALSE(apps.find("org.example.Removed"));
  EXPECT_FALSE(apps.find("org.example.Missing"));

  // Inside an application folder the id keeps its sub-folder; elsewhere it is the file name.
  auto nested = apps.fromFile(kData + "system/applications/kde/konsole.desktop");
  ASSERT_TRUE(nested);
  EXPECT_EQ(nested->id, "kde-konsole");
  TempTree tree;
  auto loose = tree.makeFile("Downloads/com.example.Tool.desktop",
                             "[Desktop Entry]\nType=Application\nName=Tool\nIcon=/opt/tool/tool.png\n");
  auto tool = apps.fromFile(loose);
  ASSERT_TRUE(tool);
  EXPECT_EQ(tool->id, "com.example.Tool");
  EXPECT_EQ(tool->name, "Tool");
  EXPECT_EQ(tool->icon, "/opt/tool/tool.png");

  // What is not an application entry has no id to add.
  EXPECT_FALSE(apps.fromFile(tree.makeFile("notes.txt", "[Desktop Entry]\nType=Application\n")));
  EXPECT_FALSE(apps.fromFile(tree.makeFile("site.desktop", "[Desktop Entry]\nType=Link\nName=Site\n")));
  EXPECT_FALSE(apps.fromFile(tree.path("missing.desktop")));
}

}  // namespace
