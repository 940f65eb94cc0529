#include "platform/emulated/emulated_logo_device.h"

#include <algorithm>
#include <cmath>

#include "logo/brightness_table.h"
#include "platform/emulated/emulated_logo_state.h"
#include "platform/linux/private_folder.h"

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

std::optional<std::string> EmulatedLogoDevice::create(const Change& configure) {
  return file_.update([&](std::optional<LockedJsonFile::Object>& contents) {
    contents = EmulatedLogoState::initial();
    if (configure) configure(*contents);
    return true;
  });
}

std::optional<std::string> EmulatedLogoDevice::modify(const Change& change) {
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

std::optional<std::string> EmulatedLogoDevice::remove() {
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

bool EmulatedLogoDevice::exists() { return file_.exists(); }

bool EmulatedLogoDevice::respondsToCopyProperty() { return true; }

std::optional<PlistValue> EmulatedLogoDevice::copyProperty(const std::string& key) {
  auto contents = file_.read();
  if (!contents) return std::nullopt;
  if (key == kStateKey) return EmulatedLogoState::pwmState(*contents);
  if (!isTableKey(key) && key != kBacklightModeKey) return std::nullopt;
  auto found = contents->find(key);
  if (found == contents->end()) return std::nullopt;
  return found->second;
}

std::optional<bool> EmulatedLogoDevice::setProperty(const PlistValue& value, const std::string& key) {
  bool isTable = isTableKey(key) && LogoServiceModel::isTable(value);
  bool isMode = key == kBacklightModeKey && LogoServiceModel::isMode(value);
  if (!isTable && !isMode) return false;
  bool accepted = false;
  auto error = file_.update([&](std::optional<LockedJsonFile::Object>& contents) {
    if (!contents) return false;
    accepted = true;
    if (isMode && modeStuck(*contents)) return false;
    (*contents)[key] = isTable ? LogoServiceModel::normalizedTable(value) : PlistValue(value.get<int>());
    return true;
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
  bool present = false;
  auto error = file_.update([&](std::optional<LockedJsonFile::Object>& contents) {
    present = contents.has_value();
    if (!present) return false;
    (*contents)[EmulatedLogoState::kDisplayLevel] = std::clamp(static_cast<double>(level), 0.0, 1.0);
    return true;
  });
  return present && !error ? 0 : kFailure;
}
