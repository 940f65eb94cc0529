// Fakes for what the windows reach beyond the platform: updater flag, clipboard, alert sound,
// installed applications and the hot key.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "windows/window_services.h"

class FakeUpdater : public Updater {
 public:
  bool automaticallyChecksForUpdates() const override { return automatic; }
  void setAutomaticallyChecksForUpdates(bool on) override { automatic = on; }
  bool automatic = true;
};

class FakeClipboard : public Clipboard {
 public:
  void setText(const std::string& value) override { texts.push_back(value); }
  std::vector<std::string> texts;
};

class FakeAlertSound : public AlertSound {
 public:
  void beep() override { ++beeps; }
  int beeps = 0;
};

class FakeInstalledApplications : public InstalledApplications {
 public:
  std::vector<InstalledApplication> all() override { return apps; }
  std::optional<InstalledApplication> fromFile(const std::string& path) override {
    auto found = byFile.find(path);
    if (found == byFile.end()) return std::nullopt;
    return found->second;
  }
  std::optional<InstalledApplication> find(const std::string& id) override {
    for (const auto& app : apps) {
      if (app.id == id) return app;
    }
    return std::nullopt;
  }
  std::vector<InstalledApplication> apps;
  std::map<std::string, InstalledApplication> byFile;
};

struct FakeWindowServices {
  FakeUpdater updater;
  FakeClipboard clipboard;
  FakeAlertSound alertSound;
  FakeInstalledApplications installedApps;
  int hotKeyUpdates = 0;
  WindowServices services{updater, clipboard, alertSound, installedApps, [this] { ++hotKeyUpdates; }};
};
