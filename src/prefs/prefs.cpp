#include "prefs/prefs.h"

#include <algorithm>
#include <cmath>

#include "formats/app_identifier.h"

namespace {

// A laptop panel's peak lies well inside this; anything outside is a typing error.
constexpr double kLowestPanelPeakNits = 50;
constexpr double kHighestPanelPeakNits = 5000;

bool hasKeys(const std::optional<PlistDictionary>& domain) { return domain && !domain->empty(); }

}  // namespace

Prefs::Prefs(PreferenceDomains& domains) : domains_(&domains) {}

std::string Prefs::changedNotification() { return std::string(kAppIdentifier) + ".prefsChanged"; }

std::string Prefs::signalNotification() { return std::string(kAppIdentifier) + ".signal"; }

std::string Prefs::formatHour(int hour) {
  int h = hour % 24;
  if (h < 0) h += 24;
  if (h == 0) return "12 AM";
  if (h == 12) return "12 PM";
  if (h < 12) return std::to_string(h) + " AM";
  return std::to_string(h - 12) + " PM";
}

std::optional<Prefs::SignalStyle> Prefs::signalStyleFromRaw(const std::string& raw) {
  if (raw == "breathing") return SignalStyle::breathing;
  if (raw == "doublePulse") return SignalStyle::doublePulse;
  if (raw == "steady") return SignalStyle::steady;
  return std::nullopt;
}

std::string Prefs::rawValue(SignalStyle style) {
  switch (style) {
    case SignalStyle::doublePulse: return "doublePulse";
    case SignalStyle::steady: return "steady";
    case SignalStyle::breathing: break;
  }
  return "breathing";
}

std::string Prefs::rawValue(QuitBehavior behavior) {
  return behavior == QuitBehavior::keepOff ? "keepOff" : "restore";
}

std::string Prefs::rawValue(QuietHoursAction action) {
  return action == QuietHoursAction::dim ? "dim" : "off";
}

void Prefs::migrateLegacyIfNeeded() {
  if (hasKeys(domains_->domain(kAppIdentifier))) return;
  const char* sourceName = kLegacyIdentifier1;
  auto source = domains_->domain(sourceName);
  if (!hasKeys(source)) {
    sourceName = kLegacyIdentifier2;
    source = domains_->domain(sourceName);
    if (!hasKeys(source)) return;
  }
  domains_->replaceDomain(kAppIdentifier, *source);
  // The earlier settings go only once their copy is in place; after a failed write they stay for
  // the next start to try again.
  if (!hasKeys(domains_->domain(kAppIdentifier))) return;
  domains_->removeDomain(sourceName);
  domains_->synchronize();
}

// --- The logo setting ---------------------------------------------------------------------------

Setting Prefs::setting() const {
  auto raw = value(PrefKeys::setting);
  if (raw == "off") return Setting::off();
  if (raw == "fixed") return Setting::fixed(value(PrefKeys::fixedNits));
  return Setting::automatic();
}

Prefs::Changes& Prefs::Changes::setting(const Setting& setting) {
  switch (setting.kind) {
    case Setting::Kind::fixed:
      set(PrefKeys::lastOn, "fixed");
      set(PrefKeys::setting, "fixed");
      set(PrefKeys::fixedNits, std::clamp(setting.nits, kMinNits, kMaxNits));
      break;
    case Setting::Kind::automatic:
      set(PrefKeys::lastOn, "automatic");
      set(PrefKeys::setting, "automatic");
      break;
    case Setting::Kind::off: set(PrefKeys::setting, "off"); break;
  }
  return *this;
}

void Prefs::store(const Changes& changes) { domains_->setValues(kAppIdentifier, changes.values_); }

void Prefs::setSetting(const Setting& setting) { store(Changes().setting(setting)); }

Setting Prefs::lastOnSetting() const {
  if (value(PrefKeys::lastOn) == "fixed") return Setting::fixed(value(PrefKeys::fixedNits));
  return Setting::automatic();
}

Setting Prefs::toggled() const { return setting().isOff() ? lastOnSetting() : Setting::off(); }

// --- Named properties ---------------------------------------------------------------------------

Prefs::QuitBehavior Prefs::quitBehavior() const {
  return value(PrefKeys::quitBehavior) == "keepOff" ? QuitBehavior::keepOff : QuitBehavior::restore;
}

Prefs::SignalStyle Prefs::signalStyle() const {
  return signalStyleFromRaw(value(PrefKeys::signalStyle)).value_or(SignalStyle::breathing);
}

Prefs::QuietHoursAction Prefs::quietHoursAction() const {
  return value(PrefKeys::quietHoursAction) == "dim" ? QuietHoursAction::dim : QuietHoursAction::off;
}

bool Prefs::hotKeyEnabled() const { return value(PrefKeys::hotKeyEnabled); }
bool Prefs::ignoreLimits() const { return value(PrefKeys::ignoreLimits); }
bool Prefs::offWhenLocked() const { return value(PrefKeys::offWhenLocked); }
bool Prefs::offInLowPowerMode() const { return value(PrefKeys::offInLowPowerMode); }
bool Prefs::signalKeepDisplayOn() const { return value(PrefKeys::signalKeepDisplayOn); }
int Prefs::quietHoursStartHour() const { return static_cast<int>(value(PrefKeys::quietHoursStartHour)); }
int Prefs::quietHoursEndHour() const { return static_cast<int>(value(PrefKeys::quietHoursEndHour)); }

std::optional<std::string> Prefs::logoLight() const {
  auto name = value(PrefKeys::logoLight);
  if (name.empty()) return std::nullopt;
  return name;
}

void Prefs::setLogoLight(const std::optional<std::string>& name) {
  if (name) {
    set(PrefKeys::logoLight, *name);
  } else {
    remove(prefKeyInfo(PrefKey::logoLight).name);
  }
}

double Prefs::panelPeakNits() const {
  double nits = value(PrefKeys::panelPeakNits);
  if (!(nits >= kLowestPanelPeakNits && nits <= kHighestPanelPeakNits))
    return prefKeyInfo(PrefKey::panelPeakNits).defaultValue.get<double>();
  return nits;
}

// --- Keys of the table --------------------------------------------------------------------------

bool Prefs::value(TypedPrefKey<bool> key) const {
  const auto& info = prefKeyInfo(key.key);
  bool fallback = info.defaultValue.get<bool>();
  if (info.reader == PrefReader::booleanOnly) {
    auto stored = object(info.name);
    return stored && stored->is_boolean() ? stored->get<bool>() : fallback;
  }
  return optionalBool(info.name).value_or(fallback);
}

long long Prefs::value(TypedPrefKey<long long> key) const {
  const auto& info = prefKeyInfo(key.key);
  long long fallback = info.defaultValue.get<long long>();
  auto stored = optionalInteger(info.name);
  switch (info.reader) {
    case PrefReader::hour: return stored ? std::clamp(*stored, 0LL, 23LL) : fallback;
    case PrefReader::positive: return stored.value_or(0) >= 1 ? *stored : fallback;
    default: return stored.value_or(fallback);
  }
}

double Prefs::value(TypedPrefKey<double> key) const {
  const auto& info = prefKeyInfo(key.key);
  double fallback = info.defaultValue.get<double>();
  auto stored = optionalDouble(info.name);
  if (info.reader == PrefReader::positive) return stored.value_or(0) > 0 ? *stored : fallback;
  return stored.value_or(fallback);
}

std::string Prefs::value(TypedPrefKey<std::string> key) const {
  const auto& info = prefKeyInfo(key.key);
  return optionalString(info.name).value_or(info.defaultValue.get<std::string>());
}

std::vector<std::string> Prefs::value(TypedPrefKey<std::vector<std::string>> key) const {
  return stringArray(prefKeyInfo(key.key).name).value_or(std::vector<std::string>{});
}

std::optional<PlistValue> Prefs::value(TypedPrefKey<std::optional<PlistValue>> key) const {
  return object(prefKeyInfo(key.key).name);
}

// --- Typed access -------------------------------------------------------------------------------

std::optional<PlistValue> Prefs::object(const std::string& key) const {
  return domains_->value(kAppIdentifier, key);
}

std::optional<bool> Prefs::optionalBool(const std::string& key) const {
  auto value = object(key);
  if (!value) return std::nullopt;
  if (value->is_boolean()) return value->get<bool>();
  if (value->is_number()) return value->get<double>() != 0;
  return false;
}

std::optional<long long> Prefs::optionalInteger(const std::string& key) const {
  auto value = object(key);
  if (!value) return std::nullopt;
  if (value->is_number_integer()) return value->get<long long>();
  if (value->is_number_float()) {
    double v = value->get<double>();
    if (!std::isfinite(v)) return 0;
    return static_cast<long long>(std::clamp(v, -9.2e18, 9.2e18));
  }
  if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
  return 0;
}

std::optional<double> Prefs::optionalDouble(const std::string& key) const {
  auto value = object(key);
  if (!value) return std::nullopt;
  if (value->is_number()) return value->get<double>();
  if (value->is_boolean()) return value->get<bool>() ? 1.0 : 0.0;
  return 0.0;
}

std::optional<std::string> Prefs::optionalString(const std::string& key) const {
  auto value = object(key);
  if (!value || !value->is_string()) return std::nullopt;
  return value->get<std::string>();
}

std::optional<std::vector<std::string>> Prefs::stringArray(const std::string& key) const {
  auto value = object(key);
  if (!value || !value->is_array()) return std::nullopt;
  std::vector<std::string> result;
  for (const auto& element : *value) {
    if (!element.is_string()) return std::nullopt;
    result.push_back(element.get<std::string>());
  }
  return result;
}

bool Prefs::boolValue(const std::string& key) const { return optionalBool(key).value_or(false); }
long long Prefs::integer(const std::string& key) const { return optionalInteger(key).value_or(0); }
double Prefs::doubleValue(const std::string& key) const { return optionalDouble(key).value_or(0); }

void Prefs::set(const std::string& key, const PlistValue& value) {
  domains_->setValue(kAppIdentifier, key, value);
}
void Prefs::remove(const std::string& key) { domains_->removeValue(kAppIdentifier, key); }
bool Prefs::synchronize() { return domains_->synchronize(); }
