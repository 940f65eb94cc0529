#include "platform/devices/emulated/emulated_logo_device.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "formats/brightness_table.h"
#include "platform/devices/emulated/emulated_logo_state.h"
#include "platform/linux_utilities/private_folder.h"

namespace {

constexpr std::int32_t kFailure = -1;

bool isTableKey(const std::string& key) {
  return std::find(kTableKeys.begin(), kTableKeys.end(), key) != kTableKeys.end();
}

bool modeStuck(const PlistDictionary& state) {
  auto found = state.find(EmulatedLogoState::kModeStuck);
  return found != state.end() && found->second == true;
}

}  // namespace

// The state only has to live as long as the session, so writes are not flushed to disk. It sits
// where another user might plant a link, so links are refused rather than written through.
EmulatedLogoDevice::EmulatedLogoDevice(std::string statePath)
    : file_(std::move(statePath), 0700, AtomicFile::Flush::none, LockedJsonFile::Folder::privateFolder) {}

std::string EmulatedLogoDevice::defaultStatePath() {
  return PrivateFolder::halomarkFolder() + "/logo-device.json";
}

Failure EmulatedLogoDevice::create(const Change& configure) {
  return file_.update([&](std::optional<LockedJsonFile::Object>& contents) {
    contents = EmulatedLogoState::initial();
    if (configure) configure(*contents);
    return true;
  });
}

Failure EmulatedLogoDevice::modify(const Change& change) {
  bool present = false;
  auto error = file_.update([&](std::optional<LockedJsonFile::Object>& contents) {
    present = contents.has_value();
    if (!present) return false;
    change(*contents);
    return true;
  });
  if (error) return error;
  if (!present) return "no emulated logo device at " + file_.path();
  return std::nullopt;
}

Failure EmulatedLogoDevice::remove() {
  return file_.update([](std::optional<LockedJsonFile::Object>& contents) {
    bool existed = contents.has_value();
    contents.reset();
    return existed;
  });
}

std::optional<PlistDictionary> EmulatedLogoDevice::state() {
  auto contents = file_.read();
  if (!contents) return std::nullopt;
  return *contents;
}

bool EmulatedLogoDevice::hasLogoBacklight() { return file_.exists(); }

std::optional<DrivenLight> EmulatedLogoDevice::drivenLight() {
  if (!file_.exists()) return std::nullopt;
  return DrivenLight{true, {}};
}

bool EmulatedLogoDevice::exists() { return file_.exists(); }

bool EmulatedLogoDevice::respondsToCopyProperty() { return true; }

std::optional<PlistValue> EmulatedLogoDevice::copyProperty(const std::string& key) {
  auto contents = file_.read();
  if (!contents) return std::nullopt;
  if (auto held = heldTables_.find(key); held != heldTables_.end()) return held->second;
  if (key == kStateKey) {
    if (heldTables_.empty()) return EmulatedLogoState::pwmState(*contents);
    PlistDictionary seen = *contents;
    for (const auto& [name, table] : heldTables_) seen[name] = table;
    return EmulatedLogoState::pwmState(seen);
  }
  if (!isTableKey(key) && key != kBacklightModeKey) return std::nullopt;
  auto found = contents->find(key);
  if (found == contents->end()) return std::nullopt;
  return found->second;
}

std::optional<bool> EmulatedLogoDevice::setProperty(const PlistValue& value, const std::string& key) {
  bool isTable = isTableKey(key) && LogoServiceModel::isTable(value);
  bool isMode = key == kBacklightModeKey && LogoServiceModel::isMode(value);
  if (!isTable && !isMode) return false;
  if (isTable) {
    if (!file_.exists()) return false;
    heldTables_[key] = LogoServiceModel::normalizedTable(value);
    return true;
  }
  PlistDictionary tables = std::exchange(heldTables_, {});
  bool accepted = false;
  auto error = file_.update([&](std::optional<LockedJsonFile::Object>& contents) {
    if (!contents) return false;
    accepted = true;
    bool changed = false;
    auto put = [&](const std::string& name, const PlistValue& stored) {
      auto [slot, added] = contents->try_emplace(name, stored);
      if (!added && slot->second == stored) return;
      slot->second = stored;
      changed = true;
    };
    for (const auto& [name, table] : tables) put(name, table);
    // A stuck mode stays what it is, whatever is written.
    if (!modeStuck(*contents)) put(kBacklightModeKey, value.get<int>());
    return changed;
  });
  return accepted && !error;
}

bool EmulatedLogoDevice::load() { return file_.exists(); }

std::int32_t EmulatedLogoDevice::get(DisplayID, float& level) {
  auto contents = file_.read();
  if (!contents) return kFailure;
  auto found = contents->find(EmulatedLogoState::kDisplayLevel);
  if (found == contents->end() || !found->second.is_number()) return kFailure;
  level = found->second.get<float>();
  return 0;
}

std::int32_t EmulatedLogoDevice::set(DisplayID, float level) {
  if (!std::isfinite(level)) return kFailure;
  // The nudge after every write puts back the level it has just read.
  float current = 0;
  if (get(0, current) == 0 && current == std::clamp(level, 0.0f, 1.0f)) return 0;
  bool present = false;
  auto error = file_.update([&](std::optional<LockedJsonFile::Object>& contents) {
    present = contents.has_value();
    if (!present) return false;
    (*contents)[EmulatedLogoState::kDisplayLevel] = std::clamp(static_cast<double>(level), 0.0, 1.0);
    return true;
  });
  return present && !error ? 0 : kFailure;
}
