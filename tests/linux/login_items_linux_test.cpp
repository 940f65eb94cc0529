#include "platform/linux/login_items_linux.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <filesystem>
#include <fstream>

#include "fakes/temp_tree.h"

namespace fs = std::filesystem;

namespace {

class LoginItemsTest : public ::testing::Test {
 protected:
  TempTree sandbox;
  std::string autostart = sandbox / "config/autostart";
  std::string entry = autostart + "/app.halomark.Halomark.desktop";
  LinuxLoginItems items{autostart};

  void writeEntry(const std::string& text) {
    fs::create_directories(autostart);
    std::ofstream(entry) << text;
  }
};

TEST_F(LoginItemsTest, EnableWritesAnAutostartEntryAndDisableRemovesIt) {
  EXPECT_FALSE(items.isEnabled());
  EXPECT_EQ(items.enable("/opt/o p/\"q\"/$x/\\y/Halomark.app/Contents/MacOS/Halomark"), std::nullopt);
  EXPECT_EQ(items.entryPath(), entry);
  EXPECT_EQ(TempTree::read(entry),
            "[Desktop Entry]\nType=Application\nName=Halomark\n"
            "Exec=\"/opt/o p/\\\\\"q\\\\\"/\\\\$x/\\\\\\\\y/Halomark.app/Contents/MacOS/Halomark\"\n"
            "Terminal=false\nNoDisplay=true\n");
  EXPECT_TRUE(items.isEnabled());

  EXPECT_EQ(items.disable(), std::nullopt);
  EXPECT_FALSE(fs::exists(entry));
  EXPECT_FALSE(items.isEnabled());
  EXPECT_EQ(items.disable(), std::nullopt);
}

TEST_F(LoginItemsTest, APathThatWouldAddLinesIsRefused) {
  auto failure = items.enable("/opt/a\nExec=sh -c evil\n/Halomark.app/Contents/MacOS/Halomark");
  ASSERT_TRUE(failure);
  EXPECT_EQ(*failure, "Couldn't write " + entry +
                          ": its Exec value holds a line break, another control character or text that isn't "
                          "UTF-8.");
  EXPECT_FALSE(fs::exists(entry));
  EXPECT_FALSE(items.isEnabled());
}

TEST_F(LoginItemsTest, AHiddenEntryIsNotEnabled) {
  writeEntry("[Desktop Entry]\nType=Application\nHidden = true\nExec=x\n");
  EXPECT_FALSE(items.isEnabled());
  writeEntry("[Desktop Entry]\nType=Application\nHidden=false\nExec=x\n");
  EXPECT_TRUE(items.isEnabled());
  writeEntry("[Desktop Entry]\nExec=x\n[Desktop Action quit]\nHidden=true\n");
  EXPECT_TRUE(items.isEnabled());
}

TEST_F(LoginItemsTest, AnEntryThatCannotBeRemovedIsReported) {
  fs::create_directories(entry + "/inside");
  auto failure = items.disable();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->rfind("Couldn't remove " + entry + ": ", 0), 0u) << *failure;
}

TEST(LoginItemsLocationTest, FollowsTheConfigurationHome) {
  QByteArray previousConfig = qgetenv("XDG_CONFIG_HOME"), previousHome = qgetenv("HOME");
  qputenv("HOME", "/home/ann");
  qputenv("XDG_CONFIG_HOME", "/srv/ann-config");
  EXPECT_EQ(LinuxLoginItems::defaultAutostartDirectory(), "/srv/ann-config/autostart");
  qputenv("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(LinuxLoginItems::defaultAutostartDirectory(), "/home/ann/.config/autostart");
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(LinuxLoginItems::defaultAutostartDirectory(), "/home/ann/.config/autostart");
  qputenv("HOME", previousHome);
  if (previousConfig.isNull()) {
    qunsetenv("XDG_CONFIG_HOME");
  } else {
    qputenv("XDG_CONFIG_HOME", previousConfig);
  }
}

}  // namespace
