#include "prefs/prefs.h"

#include <algorithm>
#include <cmath>

#include "prefs/app_identifier.h"

namespace {

constexpr const char* kSetting = "setting";
constexpr const char* kFixedNits = "fixedNits";
constexpr const char* kLogoLight = "logoLight";
// A laptop panel's peak lies well inside this; anything outside is a typing error.
constexpr double kDefaultPanelPeakNits = 500;
constexpr double kLowestPanelPeakNits = 50;
constexpr double kHighestPanelPeakNits = 5000;
constexpr const char* kLastOn = "lastOn";

bool hasKeys(const std::optional<PlistDictionary>& domain) { return domain && !domain->empty(); }

}  // namespace

Prefs::Prefs(PreferenceDomains& domains) : d_(&domains) {}

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
  if (hasKeys(d_->domain(kAppIdentifier))) return;
  const char* sourceName = kLegacyIdentifier1;
  auto source = d_->domain(sourceName);
  if (!hasKeys(source)) {
    sourceName = kLegacyIdentifier2;
    source = d_->domain(sourceName);
    if (!hasKeys(source)) return;
  }
  d_->replaceDomain(kAppIdentifier, *source);
  // The earlier settings go only once their copy is in place; after a failed write they stay for
  // the next start to try again.
  if (!hasKeys(d_->domain(kAppIdentifier))) return;
  d_->removeDomain(sourceName);
  d_->synchronize();
}

// --- The logo setting ---------------------------------------------------------------------------

double Prefs::fixedNits() const {
  double n = doubleValue(kFixedNits);
  return n > 0 ? n : kDefaultFixedNits;
}

Setting Prefs::setting() const {
  auto raw = optionalString(kSetting);
  if (!raw) return Setting::automatic();
  if (*raw == "off") return Setting::off();
  if (*raw == "fixed") return Setting::fixed(fixedNits());
  return Setting::automatic();
}

void Prefs::setSetting(const Setting& setting) {
  if (!setting.isOff()) setLastOnSetting(setting);
  switch (setting.kind) {
    case Setting::Kind::fixed:
      set(kSetting, "fixed");
      set(kFixedNits, std::clamp(setting.nits, kMinNits, kMaxNits));
      break;
    case Setting::Kind::automatic: set(kSetting, "automatic"); break;
    case Setting::Kind::off: set(kSetting, "off"); break;
  }
}

Setting Prefs::lastOnSetting() const {
  if (optionalString(kLastOn) == "fixed") return Setting::fixed(fixedNits());
  return Setting::automatic();
}

void Prefs::setLastOnSetting(const Setting& setting) {
  if (setting.isOff()) return;
  set(kLastOn, setting.isFixed() ? "fixed" : "automatic");
}

// --- Named properties ---------------------------------------------------------------------------

Prefs::QuitBehavior Prefs::quitBehavior() const {
  return optionalString("quitBehavior") == "keepOff" ? QuitBehavior::keepOff : QuitBehavior::restore;
}

Prefs::SignalStyle Prefs::signalStyle() const {
  auto raw = optionalString("signalStyle");
  if (raw == "doublePulse") return SignalStyle::doublePulse;
  if (raw == "steady") return SignalStyle::steady;
  return SignalStyle::breathing;
}

Prefs::QuietHoursAction Prefs::quietHoursAction() const {
  return optionalString("quietHoursAction") == "dim" ? QuietHoursAction::dim : QuietHoursAction::off;
}

bool Prefs::boolDefaultingTrue(const std::string& key) const {
  auto value = object(key);
  if (!value || !value->is_boolean()) return true;
  return value->get<bool>();
}

bool Prefs::hotKeyEnabled() const { return boolDefaultingTrue("hotKeyEnabled"); }
bool Prefs::ignoreLimits() const { return boolDefaultingTrue("ignoreLimits"); }
bool Prefs::offWhenLocked() const { return boolDefaultingTrue("offWhenLocked"); }
bool Prefs::offInLowPowerMode() const { return boolDefaultingTrue("offInLowPowerMode"); }
bool Prefs::signalKeepDisplayOn() const { return boolDefaultingTrue("signalKeepDisplayOn"); }

std::optional<std::string> Prefs::logoLight() const {
  auto name = optionalString(kLogoLight);
  if (name && name->empty()) return std::nullopt;
  return name;
}

void Prefs::setLogoLight(const std::optional<std::string>& name) {
  if (name) {
    set(kLogoLight, *name);
  } else {
    remove(kLogoLight);
  }
}

double Prefs::panelPeakNits() const {
  auto nits = optionalDouble("panelPeakNits");
  if (!nits || !(*nits >= kLowestPanelPeakNits && *nits <= kHighestPanelPeakNits))
    return kDefaultPanelPeakNits;
  return *nits;
}

int Prefs::quietHoursStartHour() const {
  if (!object("quietHoursStartHour")) return 22;
  return static_cast<int>(std::clamp(integer("quietHoursStartHour"), 0LL, 23LL));
}

int Prefs::quietHoursEndHour() const {
  if (!object("quietHoursEndHour")) return 7;
  return static_cast<int>(std::clamp(integer("quietHoursEndHour"), 0LL, 23LL));
}

// --- Typed access -------------------------------------------------------------------------------

std::optional<PlistValue> Prefs::object(const std::string& key) const {
  return d_->value(kAppIdentifier, key);
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

void Prefs::set(const std::string& key, const PlistValue& value) { d_->setValue(kAppIdentifier, key, value); }
void Prefs::remove(const std::string& key) { d_->removeValue(kAppIdentifier, key); }
bool Prefs::synchronize() { return d_->synchronize(); }
