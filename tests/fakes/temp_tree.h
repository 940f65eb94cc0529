// Helpers for tests of real file operations: a temporary folder tree removed with everything in it,
// reading a file whole, and a working directory changed for a test's duration.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
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
  static std::string read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
  }

  // A bundle with its executable, as the build lays it out.
  std::string makeBundle(const std::string& relative) const {
    makeFile(relative + "/Contents/MacOS/Halomark", "#!/bin/sh\n");
    return path(relative);
  }

 private:
  std::filesystem::path root_;
};

class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::filesystem::path& path) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~WorkingDirectory() { std::filesystem::current_path(previous_); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};
