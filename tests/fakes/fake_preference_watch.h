// A preference watch that a test fires by hand, as if another process had written the domain.
#pragma once

#include <map>
#include <vector>

#include "platform/preference_watch.h"

class FakePreferenceWatch : public PreferenceWatch {
 public:
  bool watch(const std::string& domain, std::function<void()> onChange) override {
    // A domain is a file in the preference folder: a name that is no file name cannot be one.
    if (!available || domain.empty() || domain.find('/') != std::string::npos) return false;
    handlers[domain].push_back(std::move(onChange));
    return true;
  }
  void changed(const std::string& domain) {
    for (auto& handler : handlers[domain]) handler();
  }

  bool available = true;
  std::map<std::string, std::vector<std::function<void()>>> handlers;
};
