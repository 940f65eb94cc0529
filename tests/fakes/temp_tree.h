// The one temporary folder helper of the tests: a folder tree removed with everything in it, files
// planted and read whole, and a working directory changed for a test's duration.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TempTree {
 public:
  TempTree() : TempTree(std::filesystem::temp_directory_path().string()) {}
  explicit TempTree(const std::string& base) {
    std::string pattern = (std::filesystem::path(base) / "halomark-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) root_ = std::filesystem::canonical(pattern);
  }
  ~TempTree() {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // A folder in memory when the system has one (for tests of many flushed writes), else the
  // temporary folder.
  static std::string memoryBase() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
               ? "/dev/shm"
               : std::filesystem::temp_directory_path().string();
  }

  const std::filesystem::path& root() const { return root_; }
  std::string path() const { return root_.string(); }
  std::string path(const std::string& relative) const { return (root_ / relative).string(); }
  std::string operator/(const std::string& relative) const { return path(relative); }

  std::string makeFile(const std::string& relative, const std::string& contents = "") const {
    write(path(relative), contents);
    return path(relative);
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

  static void write(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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
