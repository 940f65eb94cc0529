// Fakes for application instances, login items, the Trash, the administrator prompt and the
// desktop registration.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/app_instances.h"
#include "platform/desktop_integration.h"
#include "platform/login_items.h"
#include "platform/privileged_shell.h"
#include "platform/trash.h"

class FakeAppInstances : public AppInstances {
 public:
  bool isRunning(const std::string& identifier) override {
    ++runningChecks;
    checkedIdentifiers.push_back(identifier);
    // A requested quit takes effect after `checksUntilQuit` further checks.
    if (quitRequested && checksUntilQuit >= 0 && checksUntilQuit-- == 0) running = false;
    return running;
  }
  bool claim(const std::string&) override {
    if (running) return false;
    running = true;
    return true;
  }
  void announce(const std::string& identifier) override { announced.push_back(identifier); }
  void requestQuit(const std::string& identifier) override {
    quitRequests.push_back(identifier);
    quitRequested = true;
  }
  bool openURLs(const std::string&, const std::vector<std::string>& urls) override {
    openedURLs.push_back(urls);
    return running;
  }
  bool running = false;
  bool quitRequested = false;
  int checksUntilQuit = 0;  // -1: never quits
  int runningChecks = 0;
  std::vector<std::string> checkedIdentifiers;
  std::vector<std::string> quitRequests;
  std::vector<std::string> announced;
  std::vector<std::vector<std::string>> openedURLs;
};

class FakeLoginItems : public LoginItems {
 public:
  bool isEnabled() override { return enabled; }
  std::optional<std::string> enable(const std::string& path) override {
    enabledWith.push_back(path);
    if (failure) return failure;
    // The login item is a line of text naming the path: one that would break the line is refused.
    if (std::any_of(path.begin(), path.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }))
      return "The path can't be written into a login item.";
    enabled = true;
    return std::nullopt;
  }
  std::optional<std::string> disable() override {
    ++disableCalls;
    // Nothing enabled is nothing to remove, whatever state the storage is in.
    if (!enabled) return std::nullopt;
    if (failure) return failure;
    enabled = false;
    return std::nullopt;
  }
  bool enabled = false;
  std::optional<std::string> failure;
  std::vector<std::string> enabledWith;
  int disableCalls = 0;
};

class FakeTrash : public Trash {
 public:
  std::variant<Trashed, TrashFailure> moveToTrash(const std::string& path) override {
    trashed.push_back(path);
    return result;
  }
  std::variant<Trashed, TrashFailure> result = Trashed{"/home/tester/.local/share/Trash/files/Halomark.app"};
  std::vector<std::string> trashed;
};

class FakePrivilegedShell : public PrivilegedShell {
 public:
  PrivilegedResult run(const std::string& command) override {
    commands.push_back(command);
    if (!result) {
      ADD_FAILURE() << "unexpected administrator command: " << command;
      return {PrivilegedResult::Outcome::failed, "not scripted by the test"};
    }
    return *result;
  }
  // What every command gives; a test that expects the administrator prompt says how it ends.
  std::optional<PrivilegedResult> result;
  std::vector<std::string> commands;
};

class FakeDesktopIntegration : public DesktopIntegration {
 public:
  void install(const std::string& executablePath) override { installedFor.push_back(executablePath); }
  std::vector<std::string> remove() override {
    ++removals;
    return removeErrors;
  }
  std::vector<std::string> installedFor;
  std::vector<std::string> removeErrors;
  int removals = 0;
};
