// A throw-away home directory for the hook editor's tests, with helpers to plant and read its
// Claude Code settings file.
#pragma once

#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "fakes/fake_system.h"
#include "fakes/temp_tree.h"
#include "hooks/claude_hook.h"

class TemporaryHome {
 public:
  static void write(const std::string& path, const std::string& bytes) { TempTree::write(path, bytes); }
  static std::string read(const std::string& path) { return TempTree::read(path); }

  void writeSettings(const std::string& bytes) const { write(settings, bytes); }
  std::string settingsText() const { return read(settings); }
  nlohmann::json settingsJson() const { return nlohmann::json::parse(settingsText()); }
  bool hasBackup() const { return std::filesystem::exists(std::filesystem::symlink_status(backup)); }

 private:
  // Declared before the paths, which are made from it.
  TempTree directory_;

 public:
  const std::string home = directory_.path();
  const std::string settings = ClaudeHook::settingsPath(home);
  const std::string backup = ClaudeHook::backupPath(settings);
  FakeFiles files;
};
