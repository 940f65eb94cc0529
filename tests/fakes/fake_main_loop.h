// The application's published state and the tool's main loop, steered by a test: the state is set
// and announced by hand, and the loop plays a script of events, each on a turn of its own, before
// it ends the way the test chose.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/interfaces/application_state.h"
#include "platform/interfaces/main_loop.h"

class FakeApplicationState : public ApplicationState {
 public:
  std::optional<PlistDictionary> published(const std::string& identifier) override {
    ++asked;
    auto found = state.find(identifier);
    if (found == state.end()) return std::nullopt;
    return found->second;
  }
  bool follow(const std::string& identifier, std::function<void()> onChange) override {
    if (!followable) return false;
    followers[identifier].push_back(std::move(onChange));
    return true;
  }
  // The application with `identifier` publishes `properties` (none: it has gone) and says so.
  void announce(const std::string& identifier, std::optional<PlistDictionary> properties) {
    if (properties) {
      state[identifier] = *properties;
    } else {
      state.erase(identifier);
    }
    for (auto& follower : followers[identifier]) follower();
  }

  std::map<std::string, PlistDictionary> state;
  std::map<std::string, std::vector<std::function<void()>>> followers;
  bool followable = true;
  int asked = 0;
};

class FakeMainLoop : public MainLoop {
 public:
  void prepare() override { ++prepared; }
  End run() override {
    ++runs;
    for (std::size_t step = 0; step < script.size() && !quitAsked; ++step) script[step]();
    return quitAsked ? End::quit : ending;
  }
  void quit() override { quitAsked = true; }

  // What happens while the loop runs, in order; the loop stops early once it is asked to quit.
  std::vector<std::function<void()>> script;
  End ending = End::terminated;
  bool quitAsked = false;
  int prepared = 0;
  int runs = 0;
};
