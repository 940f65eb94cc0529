// A temporary folder tree for tests of real file operations, removed with everything in it.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class TempTree {
 public:
  TempTree() {
    std::random_device random;
    auto name = "halomark-test-" + std::to_string(random()) + std::to_string(random());
    root_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(root_);
    root_ = std::filesystem::canonical(root_);
  }
  ~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::string path(const std::string& relative) const { return (root_ / relative).string(); }

  std::string makeFile(const std::string& relative, const std::string& contents = "") const {
    auto full = root_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full) << contents;
    return full.string();
  }
  std::string makeLink(const std::string& relative, const std::string& destination) const {
    auto full = root_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::filesystem::create_symlink(destination, full);
    return full.string();
  }
  // A bundle with its executable, as the build lays it out.
  std::string makeBundle(const std::string& relative) const {
    makeFile(relative + "/Contents/MacOS/Halomark", "#!/bin/sh\n");
    return path(relative);
  }

 private:
  std::filesystem::path root_;
};
