#include "platform/devices/leds/led_logo_device.h"

#include <algorithm>
#include <utility>

#include "formats/brightness_table.h"
#include "formats/fallback_tables.h"
#include "platform/devices/leds/led_class.h"
#include "platform/devices/logo_model/logo_service_model.h"

namespace {

constexpr std::int32_t kFailure = -1;
constexpr int kTableDrivenMode = 2;
constexpr int kChangedByOthersMode = 1;
// Keys of a light's state file besides the tables and the mode.
constexpr const char* kSavedBrightness = "savedBrightness";
constexpr const char* kSavedTrigger = "savedTrigger";
constexpr const char* kWrittenLevel = "writtenLevel";
// Set while the last write was refused, so the tool can tell without writing anything itself.
constexpr const char* kAccessDenied = "accessDenied";

bool isTableKey(const std::string& key) {
  return std::find(kTableKeys.begin(), kTableKeys.end(), key) != kTableKeys.end();
}

// Halomark's own defaults stand for the tables of a light that has none, table-driven.
PlistDictionary withDefaults(PlistDictionary state) {
  for (const auto& key : kTableKeys) {
    if (!state.count(key)) state[key] = plistFromTable(fallbackTables().at(key));
  }
  if (!state.count(kBacklightModeKey)) state[kBacklightModeKey] = kTableDrivenMode;
  return state;
}

std::optional<long long> integerOf(const PlistDictionary& state, const char* key) {
  auto found = state.find(key);
  if (found == state.end() || !found->second.is_number_integer()) return std::nullopt;
  return found->second.get<long long>();
}

}  // namespace

LedLogoDevice::LedLogoDevice(Config config)
    : config_(std::move(config)),
      writer_(config_.sysRoot, config_.buses),
      inputs_({config_.sysRoot, config_.buses, config_.openUevents, config_.scheduler, config_.panelPeakNits},
              [this] { drive(); }) {}

std::optional<CandidateLight> LedLogoDevice::light() {
  if (!resolved_) {
    auto chosen = LedClass::choose(LedClass::list(config_.sysRoot),
                                   config_.chosenLight ? config_.chosenLight() : std::nullopt);
    if (chosen) name_ = chosen->name;
    resolved_ = true;
  }
  if (!name_) return std::nullopt;
  // Unplugged (a keyboard's light) or gone: no hardware, until it is back.
  return LedClass::find(config_.sysRoot, *name_);
}

LockedJsonFile& LedLogoDevice::stateFile(const std::string& name) {
  if (!file_)
    file_.emplace(config_.stateDirectory + "/led-" + name + ".json", 0700, AtomicFile::Flush::none,
                  LockedJsonFile::Folder::privateFolder);
  return *file_;
}

PlistDictionary LedLogoDevice::state(const std::string& name) {
  auto contents = stateFile(name).read();
  return contents ? *contents : PlistDictionary{};
}

bool LedLogoDevice::hasLogoBacklight() { return light().has_value(); }

bool LedLogoDevice::exists() { return light().has_value(); }

std::vector<CandidateLight> LedLogoDevice::lights() {
  auto inUse = light();
  auto all = LedClass::list(config_.sysRoot);
  for (auto& each : all) each.inUse = inUse && each.name == inUse->name;
  return all;
}

std::optional<DrivenLight> LedLogoDevice::drivenLight() {
  auto current = light();
  if (!current) return std::nullopt;
  return DrivenLight{false, current->name};
}

std::optional<std::string> LedLogoDevice::accessAdvice() {
  auto current = light();
  if (!current) return std::nullopt;
  auto stored = state(current->name);
  auto denied = stored.find(kAccessDenied);
  if (denied == stored.end() || denied->second != true) return std::nullopt;
  return "Halomark may not set " + current->name +
         ". Run it in your active graphical session, or install the udev rule that Halomark's package "
         "ships to let your user write the light.";
}

std::optional<PlistValue> LedLogoDevice::copyProperty(const std::string& key) {
  auto current = light();
  if (!current) return std::nullopt;
  if (auto held = heldTables_.find(key); held != heldTables_.end()) return held->second;
  auto stored = state(current->name);
  auto full = withDefaults(stored);
  if (isTableKey(key)) return full[key];
  if (key == kBacklightModeKey) {
    auto written = integerOf(stored, kWrittenLevel);
    if (written && LedClass::brightness(config_.sysRoot, current->name) != written)
      return kChangedByOthersMode;
    return full[key];
  }
  if (key != kStateKey) return std::nullopt;
  auto level = LedClass::brightness(config_.sysRoot, current->name).value_or(0);
  // An on/off light shows either nothing or what the model computes.
  double nits = current->maxBrightness == 1 ? (level > 0 ? finalNits(full) : 0.0)
                                            : LedClass::nitsFor(level, current->maxBrightness);
  return PlistDictionary{{"FinalNits", nits}};
}

std::optional<bool> LedLogoDevice::setProperty(const PlistValue& value, const std::string& key) {
  bool isTable = isTableKey(key) && LogoServiceModel::isTable(value);
  bool isMode = key == kBacklightModeKey && LogoServiceModel::isMode(value);
  auto current = light();
  if ((!isTable && !isMode) || !current) return false;
  if (isTable) {
    heldTables_[key] = LogoServiceModel::normalizedTable(value);
    return true;
  }
  // The mode takes the tables written before it along: one computation of the light, one write
  // of it, one change of the state file.
  PlistDictionary changes = std::exchange(heldTables_, {});
  changes[kBacklightModeKey] = value.get<int>();
  return driveWith(*current, changes);
}

double LedLogoDevice::finalNits(const PlistDictionary& state) {
  // The sensor proxy is asked only when the light can follow the ambient light at all.
  double lux = LogoServiceModel::followsAmbientLight(state) ? inputs_.ambientLux()
                                                            : LogoServiceModel::kDefaultAmbientLux;
  return LogoServiceModel::finalNits(state, inputs_.displayNits(), lux);
}

bool LedLogoDevice::drive() {
  auto current = light();
  if (!current) {
    inputs_.follow(false, false);
    return false;
  }
  return driveWith(*current, {});
}

bool LedLogoDevice::driveWith(const CandidateLight& light, const PlistDictionary& changes) {
  auto full = state(light.name);
  for (const auto& [key, value] : changes) full[key] = value;
  full = withDefaults(std::move(full));
  bool written = takeAndWrite(light, LedClass::levelFor(finalNits(full), light.maxBrightness), full, changes);
  inputs_.follow(LogoServiceModel::followsDisplay(full), LogoServiceModel::followsAmbientLight(full));
  return written;
}

bool LedLogoDevice::takeAndWrite(const CandidateLight& light, long long level, const PlistDictionary& full,
                                 const PlistDictionary& changes) {
  auto store = [&](const std::function<void(LockedJsonFile::Object&)>& also) {
    return succeeded(stateFile(light.name).update([&](std::optional<LockedJsonFile::Object>& contents) {
      if (!contents) contents.emplace();
      for (const auto& [key, value] : changes) (*contents)[key] = value;
      also(*contents);
      return true;
    }));
  };
  auto before = LedClass::brightness(config_.sysRoot, light.name);
  if (accessProven_ && before == level && integerOf(full, kWrittenLevel) == level) {
    return changes.empty() || store([](LockedJsonFile::Object&) {});
  }
  bool firstTake = !full.count(kSavedBrightness);
  auto trigger = LedClass::activeTrigger(config_.sysRoot, light.name);
  // A trigger would keep driving the light; writing 0 also stops one where the trigger file is
  // out of reach.
  if (trigger && *trigger != "none" && !writer_.writeTrigger(light.name, "none") && level > 0) {
    writer_.writeBrightness(light.name, 0);
  }
  if (!writer_.writeBrightness(light.name, level)) {
    store([](LockedJsonFile::Object& contents) { contents[kAccessDenied] = true; });
    return false;
  }
  accessProven_ = true;
  return store([&](LockedJsonFile::Object& contents) {
    contents.erase(kAccessDenied);
    if (firstTake) {
      contents[kSavedBrightness] = before.value_or(0);
      contents[kSavedTrigger] = trigger.value_or("none");
    }
    contents[kWrittenLevel] = level;
  });
}

void LedLogoDevice::giveBack() {
  inputs_.follow(false, false);
  auto current = light();
  if (!current) return;
  auto stored = state(current->name);
  auto saved = integerOf(stored, kSavedBrightness);
  if (!saved) return;
  writer_.writeBrightness(current->name, std::clamp(*saved, 0LL, current->maxBrightness));
  auto trigger = stored.find(kSavedTrigger);
  if (trigger != stored.end() && trigger->second.is_string() && trigger->second != "none") {
    writer_.writeTrigger(current->name, trigger->second.get<std::string>());
  }
  stateFile(current->name).update([](std::optional<LockedJsonFile::Object>& contents) {
    if (!contents) return false;
    for (const char* key : {kSavedBrightness, kSavedTrigger, kWrittenLevel}) contents->erase(key);
    return true;
  });
}

bool LedLogoDevice::load() { return inputs_.displayLevel().has_value(); }

std::int32_t LedLogoDevice::get(DisplayID, float& level) {
  auto current = inputs_.displayLevel();
  if (!current) return kFailure;
  level = static_cast<float>(*current);
  return 0;
}

std::int32_t LedLogoDevice::set(DisplayID, float) { return 0; }
