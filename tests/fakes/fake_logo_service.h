// A steerable brightness service, logo hardware and display brightness, recording every write.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "formats/brightness_table.h"
#include "platform/interfaces/brightness_client.h"
#include "platform/interfaces/displays.h"

class FakeBrightnessClient : public BrightnessClient {
 public:
  struct Write {
    std::string key;
    PlistValue value;
    double time = 0;
  };

  bool exists() override { return clientExists; }
  bool respondsToCopyProperty() override { return respondsToCopy; }
  std::optional<PlistValue> copyProperty(const std::string& key) override {
    ++reads;
    auto it = properties.find(key);
    if (it == properties.end()) return std::nullopt;
    return it->second;
  }
  std::optional<bool> setProperty(const PlistValue& value, const std::string& key) override {
    if (!hasSetter) return std::nullopt;
    writes.push_back({key, value, timeSource ? timeSource() : 0});
    if (!acceptWrites || !clientExists || !holdable(value, key)) return false;
    if (!(key == "LEBacklightMode" && modeReadBack)) properties[key] = value;
    if (key == "LEBacklightMode" && modeReadBack) properties[key] = *modeReadBack;
    return true;
  }

  void giveBack() override { ++givenBack; }

  // Writes of one key, in order.
  std::vector<PlistValue> writesOf(const std::string& key) const {
    std::vector<PlistValue> result;
    for (const auto& w : writes)
      if (w.key == key) result.push_back(w.value);
    return result;
  }

  // What a service could hold: a table of rows of at least two finite numbers under a table key, or
  // the mode 0, 1 or 2. It refuses anything else, as the devices do.
  static bool holdable(const PlistValue& value, const std::string& key) {
    if (key == kBacklightModeKey) return value.is_number() && (value == 0 || value == 1 || value == 2);
    if (std::find(kTableKeys.begin(), kTableKeys.end(), key) == kTableKeys.end()) return false;
    auto table = tableFromPlist(value);
    return table && std::all_of(table->begin(), table->end(), [](const std::vector<double>& row) {
             return row.size() >= 2 &&
                    std::all_of(row.begin(), row.end(), [](double n) { return std::isfinite(n); });
           });
  }

  bool clientExists = true;
  bool respondsToCopy = true;
  bool hasSetter = true;
  bool acceptWrites = true;
  // When set, a mode write stores this value instead (a service that does not keep the mode).
  std::optional<PlistValue> modeReadBack;
  std::map<std::string, PlistValue> properties;
  std::vector<Write> writes;
  int reads = 0;
  int givenBack = 0;
  std::function<double()> timeSource;
};

class FakeLogoHardware : public LogoHardware {
 public:
  bool hasLogoBacklight() override { return present; }
  std::vector<CandidateLight> lights() override { return offered; }
  std::optional<std::string> accessAdvice() override { return advice; }
  std::optional<DrivenLight> drivenLight() override {
    if (!present) return std::nullopt;
    return driven;
  }
  bool present = true;
  DrivenLight driven{true, {}};
  std::vector<CandidateLight> offered;
  std::optional<std::string> advice;
};

class FakeDisplayBrightness : public DisplayBrightness {
 public:
  bool load() override {
    ++loads;
    return available;
  }
  std::int32_t get(DisplayID display, float& out) override {
    gets.push_back(display);
    out = level;
    return getStatus;
  }
  std::int32_t set(DisplayID display, float value) override {
    sets.push_back({display, value});
    level = value;
    return 0;
  }
  bool available = true;
  std::int32_t getStatus = 0;
  float level = 0.5f;
  int loads = 0;
  std::vector<DisplayID> gets;
  std::vector<std::pair<DisplayID, float>> sets;
};

class FakeDisplays : public Displays {
 public:
  std::optional<std::vector<DisplayID>> onlineDisplays(std::size_t capacity) override {
    if (failList) return std::nullopt;
    std::vector<DisplayID> result;
    for (auto id : online) {
      if (result.size() >= capacity) break;
      result.push_back(id);
    }
    return result;
  }
  bool isBuiltIn(DisplayID display) override {
    for (auto id : builtIn)
      if (id == display) return true;
    return false;
  }
  std::vector<DisplayID> online{1};
  std::vector<DisplayID> builtIn{1};
  bool failList = false;
};
