// The preference store shared by the application and the tool: typed access to the keys of
// prefs/pref_keys.h, the logo setting, the notification names, the legacy migration and hour labels.
#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/interfaces/preference_domains.h"
#include "prefs/pref_keys.h"
#include "prefs/setting.h"

class Prefs {
 public:
  enum class SignalStyle { breathing, doublePulse, steady };
  enum class QuitBehavior { restore, keepOff };
  enum class QuietHoursAction { off, dim };

  explicit Prefs(PreferenceDomains& domains);

  // Notification names.
  static std::string changedNotification();
  static std::string signalNotification();

  static std::string formatHour(int hour);

  static std::optional<SignalStyle> signalStyleFromRaw(const std::string& raw);
  static std::string rawValue(SignalStyle style);
  static std::string rawValue(QuitBehavior behavior);
  static std::string rawValue(QuietHoursAction action);

  // Copies the first non-empty legacy domain once, while the current domain is empty.
  void migrateLegacyIfNeeded();

  // Keys of the table stored together as one change: all of them or, when the write fails, none.
  class Changes {
   public:
    template <typename T>
    Changes& set(TypedPrefKey<T> key, const std::type_identity_t<T>& value) {
      values_[prefKeyInfo(key.key).name] = PlistValue(value);
      return *this;
    }
    // The logo setting with what comes with it: a setting other than off also becomes the last
    // on setting, and a fixed one stores its brightness held within the fixed range.
    Changes& setting(const Setting& setting);

   private:
    friend class Prefs;
    PlistDictionary values_;
  };
  void store(const Changes& changes);

  Setting setting() const;
  void setSetting(const Setting& setting);
  Setting lastOnSetting() const;
  // What a toggle turns the logo to: the last on setting while it is off, else off.
  Setting toggled() const;

  QuitBehavior quitBehavior() const;
  SignalStyle signalStyle() const;
  QuietHoursAction quietHoursAction() const;
  bool hotKeyEnabled() const;
  bool ignoreLimits() const;
  bool offWhenLocked() const;
  bool offInLowPowerMode() const;
  bool signalKeepDisplayOn() const;
  int quietHoursStartHour() const;
  int quietHoursEndHour() const;
  // The light the user chose as the logo by name ("logoLight"); none leaves the choice to Halomark.
  std::optional<std::string> logoLight() const;
  void setLogoLight(const std::optional<std::string>& name);
  // The built-in panel's brightest, in nits ("panelPeakNits"): what a full backlight is taken to
  // show. 500 unless the user set a number between 50 and 5000.
  double panelPeakNits() const;

  // A key of the table, read by its rule; a missing key gives the table's default.
  bool value(TypedPrefKey<bool> key) const;
  long long value(TypedPrefKey<long long> key) const;
  double value(TypedPrefKey<double> key) const;
  std::string value(TypedPrefKey<std::string> key) const;
  std::vector<std::string> value(TypedPrefKey<std::vector<std::string>> key) const;
  std::optional<PlistValue> value(TypedPrefKey<std::optional<PlistValue>> key) const;
  // The number stored under a key as it is, without the key's rule; none when nothing is stored.
  std::optional<double> stored(TypedPrefKey<double> key) const {
    return optionalDouble(prefKeyInfo(key.key).name);
  }
  // Stores `value` under a key of the table, with the key's own type.
  template <typename T>
  void set(TypedPrefKey<T> key, const std::type_identity_t<T>& value) {
    set(prefKeyInfo(key.key).name, PlistValue(value));
  }
  // A saved table is written as the property list it is read back as.
  void set(TypedPrefKey<std::optional<PlistValue>> key, const PlistValue& value) {
    set(prefKeyInfo(key.key).name, value);
  }
  void remove(PrefKey key) { remove(prefKeyInfo(key).name); }

  // Typed access to every key of the domain. A missing key (or one of another kind) reads as the
  // type's zero value through the plain readers; the optional readers tell a missing key apart.
  std::optional<PlistValue> object(const std::string& key) const;
  std::optional<bool> optionalBool(const std::string& key) const;
  std::optional<long long> optionalInteger(const std::string& key) const;
  std::optional<double> optionalDouble(const std::string& key) const;
  std::optional<std::string> optionalString(const std::string& key) const;
  std::optional<std::vector<std::string>> stringArray(const std::string& key) const;
  bool boolValue(const std::string& key) const;
  long long integer(const std::string& key) const;
  double doubleValue(const std::string& key) const;

  void set(const std::string& key, const PlistValue& value);
  void remove(const std::string& key);
  bool synchronize();

  PreferenceDomains& domains() const { return *domains_; }

 private:
  PreferenceDomains* domains_;
};
