// A temporary directory for one test, removed with everything in it afterwards.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScratchDirectory {
 public:
  ScratchDirectory() : ScratchDirectory(std::filesystem::temp_directory_path().string()) {}
  explicit ScratchDirectory(const std::string& base) {
    std::string pattern = (std::filesystem::path(base) / "halomark-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }
  // A folder in memory when the system has one (for tests of many flushed writes), else the
  // temporary folder.
  static std::string memoryBase() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
               ? "/dev/shm"
               : std::filesystem::temp_directory_path().string();
  }

  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

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
  std::string path_;
};
