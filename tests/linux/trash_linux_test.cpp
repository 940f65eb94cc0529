#include "platform/linux/trash_linux.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <filesystem>
#include <fstream>

#include "fakes/temp_tree.h"

namespace fs = std::filesystem;

namespace {

// A temporary home and data folder, made the process's for the test's duration.
class TrashTest : public ::testing::Test {
 protected:
  TrashTest() : previousHome(qgetenv("HOME")), previousData(qgetenv("XDG_DATA_HOME")) {
    qputenv("HOME", QByteArray::fromStdString(home));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data));
    fs::create_directories(home);
    fs::current_path(root);
  }
  ~TrashTest() override {
    fs::current_path(previousDirectory);
    qputenv("HOME", previousHome);
    qputenv("XDG_DATA_HOME", previousData);
  }
  std::string makeBundle() {
    std::string bundle = home + "/Halomark.app";
    fs::create_directories(bundle + "/Contents/MacOS");
    std::ofstream(bundle + "/Contents/MacOS/Halomark") << "#!/bin/sh\n";
    return bundle;
  }

  TempTree sandbox;
  std::string root = sandbox.path();
  std::string home = root + "/home";
  std::string data = root + "/data";
  fs::path previousDirectory = fs::current_path();
  QByteArray previousHome, previousData;
  LinuxTrash trash;
};

TEST_F(TrashTest, MovesAFolderIntoTheDataTrashCreatingTheDataFolder) {
  std::string bundle = makeBundle();
  auto result = trash.moveToTrash(bundle);
  ASSERT_TRUE(std::holds_alternative<Trashed>(result)) << std::get<TrashFailure>(result).description;
  EXPECT_EQ(std::get<Trashed>(result).location, data + "/Trash/files/Halomark.app");
  EXPECT_TRUE(fs::exists(data + "/Trash/files/Halomark.app/Contents/MacOS/Halomark"));
  EXPECT_FALSE(fs::exists(bundle));
  std::string info = TempTree::read(data + "/Trash/info/Halomark.app.trashinfo");
  EXPECT_NE(info.find("Path=" + bundle), std::string::npos) << info;
}

TEST_F(TrashTest, AMissingItemFailsReadably) {
  auto result = trash.moveToTrash(home + "/Nothing.app");
  ASSERT_TRUE(std::holds_alternative<TrashFailure>(result));
  EXPECT_EQ(std::get<TrashFailure>(result).description, "No such file or directory");
}

TEST_F(TrashTest, WithoutAUsableDataFolderTheItemStaysAndNothingLandsInTheWorkingDirectory) {
  std::ofstream(root + "/blocker") << "a file where a folder is needed";
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(root + "/blocker/data"));
  std::string bundle = makeBundle();
  auto result = trash.moveToTrash(bundle);
  ASSERT_TRUE(std::holds_alternative<TrashFailure>(result));
  EXPECT_EQ(std::get<TrashFailure>(result).description,
            "Couldn't create the folder " + root + "/blocker/data.");
  EXPECT_TRUE(fs::exists(bundle + "/Contents/MacOS/Halomark"));
  EXPECT_FALSE(fs::exists(root + "/files"));
}

}  // namespace
