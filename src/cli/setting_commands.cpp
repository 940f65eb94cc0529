#include "cli/setting_commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <string_view>

#include "app/logo_commands.h"
#include "cli/ascii_case.h"
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

// Whether a well-formed decimal number is smaller than one in magnitude, from the place of its
// first significant digit and its exponent, without computing its value (which may lie beyond any
// floating-point type: 1e-5000).
bool isBelowOne(std::string_view number) {
  if (number.starts_with('-')) number.remove_prefix(1);
  std::size_t exponentAt = number.find_first_of("eE");
  std::string_view mantissa = number.substr(0, exponentAt);
  // The power of ten of the first significant digit.
  long long place = 0;
  std::size_t point = mantissa.find('.');
  std::size_t integerDigits = point == std::string_view::npos ? mantissa.size() : point;
  std::size_t firstDigit = mantissa.find_first_of("123456789");
  if (firstDigit == std::string_view::npos) return true;
  place = firstDigit < integerDigits ? static_cast<long long>(integerDigits - firstDigit) - 1
                                     : -static_cast<long long>(firstDigit - integerDigits);
  if (exponentAt != std::string_view::npos) {
    std::string_view exponent = number.substr(exponentAt + 1);
    bool negative = exponent.starts_with('-');
    if (negative || exponent.starts_with('+')) exponent.remove_prefix(1);
    // Exponents this long are out of any range either way; only their sign matters.
    long long value = 0;
    for (char c : exponent) value = std::min(value * 10 + (c - '0'), 1'000'000'000LL);
    place += negative ? -value : value;
  }
  return place < 0;
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
    // Too small for a double reads as zero; too large is no number a user means.
    if (!isBelowOne(digits)) return std::nullopt;
    value = digits.starts_with('-') ? -0.0 : 0.0;
  } else if (error != std::errc() || end != last) {
    return std::nullopt;
  }
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

LogoCommands toolCommands(Prefs& prefs, CliContext& context) {
  // The tool never writes the logo: a stored change is the running application's to apply.
  return LogoCommands(prefs, context.platform, [&context] { notifyApp(context); });
}

int reportChange(bool saved, Prefs& prefs, CliContext& context) {
  if (!saved) {
    // Nothing was stored, so there is nothing for the application to apply.
    context.err << "halomark: couldn't save the setting\n";
    printStatus(prefs, context);
    return 1;
  }
  context.platform.clock.sleep(kSettleSeconds);
  printStatus(prefs, context);
  return 0;
}

int turnOn(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  return reportChange(toolCommands(prefs, context).turnOn(), prefs, context);
}

int turnOff(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  return reportChange(toolCommands(prefs, context).set(Setting::off()), prefs, context);
}

int toggle(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  return reportChange(toolCommands(prefs, context).toggle(), prefs, context);
}

int followDisplay(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  return reportChange(toolCommands(prefs, context).set(Setting::automatic()), prefs, context);
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
  return reportChange(toolCommands(prefs, context).set(Setting::fixed(*nits)), prefs, context);
}

int reset(const std::vector<std::string>&, Prefs& prefs, CliContext& context) {
  return reportChange(toolCommands(prefs, context).reset(), prefs, context);
}

}  // namespace CLI
