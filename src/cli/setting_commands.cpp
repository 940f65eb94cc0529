#include "cli/setting_commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>

#include "cli/ascii_case.h"
#include "maintenance/uninstall.h"
#include "prefs/setting.h"

namespace {

constexpr double kSettleSeconds = 1.2;

std::string withoutNits(const std::string& text) {
  static constexpr std::string_view kWord = "nits";
  std::string kept;
  for (std::size_t i = 0; i < text.size();) {
    bool match = i + kWord.size() <= text.size() &&
                 std::equal(kWord.begin(), kWord.end(), text.begin() + i,
                            [](char word, char c) { return word == asciiLowercase(c); });
    if (match) {
      i += kWord.size();
    } else {
      kept += text[i++];
    }
  }
  return kept;
}

}  // namespace

namespace CLI {

std::optional<double> parseNits(const std::string& text) {
  std::string number = withoutNits(text);
  std::string_view digits = number;
  // A leading plus sign is accepted as in any other number the user types; a second sign is not.
  if (digits.starts_with('+')) {
    digits.remove_prefix(1);
    if (digits.starts_with('+') || digits.starts_with('-')) return std::nullopt;
  }
  const char* first = digits.data();
  const char* last = first + digits.size();
  double value = 0;
  auto [end, error] = std::from_chars(first, last, value);
  if (error == std::errc::result_out_of_range && end == last) {
    // Too small for a double reads as zero, too large as infinity; the wider type tells them apart.
    long double wide = 0;
    if (std::from_chars(first, last, wide).ec != std::errc()) return std::nullopt;
    value = static_cast<double>(wide);
  } else if (error != std::errc() || end != last) {
    return std::nullopt;
  }
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

int commitSettingChange(Prefs& prefs, CliContext& context) {
  bool saved = prefs.synchronize();
  if (!saved) context.err << "halomark: couldn't save the setting\n";
  notifyApp(context);
  context.platform.clock.sleep(kSettleSeconds);
  printStatus(prefs, context);
  return saved ? 0 : 1;
}

int turnOn(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  prefs.setSetting(prefs.lastOnSetting());
  return commitSettingChange(prefs, context);
}

int turnOff(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  prefs.setSetting(Setting::off());
  return commitSettingChange(prefs, context);
}

int toggle(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  prefs.setSetting(prefs.setting().isOff() ? prefs.lastOnSetting() : Setting::off());
  return commitSettingChange(prefs, context);
}

int followDisplay(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  prefs.setSetting(Setting::automatic());
  return commitSettingChange(prefs, context);
}

int setNits(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context) {
  auto nits = arguments.size() == 2 ? parseNits(arguments[1]) : std::nullopt;
  if (!nits) {
    context.err << "halomark: set needs a number of nits, e.g. halomark set 80\n";
    return 2;
  }
  if (*nits < kMinNits || *nits > kMaxNits) {
    Locale& locale = context.platform.locale;
    context.err << "halomark: using " << locale.formatDecimal(std::clamp(*nits, kMinNits, kMaxNits))
                << " nits (allowed range is " << locale.formatDecimal(kMinNits) << "\u2013"
                << "1000"
                << ")\n";
  }
  prefs.setSetting(Setting::fixed(*nits));
  return commitSettingChange(prefs, context);
}

int reset(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  Maintenance::resetPreferences(prefs);
  return commitSettingChange(prefs, context);
}

}  // namespace CLI
