// A throw-away home directory for the hook editor's tests, with helpers to plant and read its
// Claude Code settings file.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "fakes/fake_system.h"
#include "hooks/claude_hook.h"

class TemporaryHome {
 public:
  TemporaryHome() {
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() / ("halomark-hooks-" + std::to_string(random()));
    std::filesystem::create_directories(root_);
    home = root_.string();
    settings = ClaudeHook::settingsPath(home);
    backup = ClaudeHook::backupPath(settings);
  }
  ~TemporaryHome() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TemporaryHome(const TemporaryHome&) = delete;
  TemporaryHome& operator=(const TemporaryHome&) = delete;

  static void write(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  void writeSettings(const std::string& bytes) const { write(settings, bytes); }
  std::string settingsText() const { return read(settings); }
  nlohmann::json settingsJson() const { return nlohmann::json::parse(settingsText()); }
  bool hasBackup() const { return std::filesystem::exists(std::filesystem::symlink_status(backup)); }

  std::string home;
  std::string settings;
  std::string backup;
  FakeFiles files;

 private:
  std::filesystem::path root_;
};
