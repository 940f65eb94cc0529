#include "updates/version_compare.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

namespace Versions {

namespace {

constexpr std::size_t kMaxLength = 64;
constexpr std::size_t kMaxDigits = 18;

// A version is read as a sequence of tokens: numbers and runs of letters, in order. Separators only
// divide components, and an empty component ("1..1") counts as 0, so "1..1" is "1.0.1". Versions
// compare token by token, a missing token counting as 0 and letters below every number: "1" equals
// "1.0.0", and "1.0b1" is a pre-release of "1.0". Padding every version with zeros and ordering the
// tokens totally makes this one total order, which choosing the newest of many relies on.
struct Token {
  bool isNumber;
  std::uint64_t number;
  std::string letters;
};

const Token kZero{true, 0, {}};

bool isSeparator(unsigned char byte) { return !std::isalnum(byte); }

std::vector<Token> tokens(const std::string& version) {
  std::string relevant = version.substr(0, version.find('-'));
  std::vector<Token> result;
  bool componentEmpty = true;
  for (std::size_t i = 0; i <= relevant.size(); ++i) {
    unsigned char byte = i < relevant.size() ? static_cast<unsigned char>(relevant[i]) : '.';
    if (isSeparator(byte)) {
      if (componentEmpty) result.push_back(kZero);
      componentEmpty = true;
      continue;
    }
    componentEmpty = false;
    bool digit = std::isdigit(byte) != 0;
    bool continues = i > 0 && !result.empty() && !isSeparator(static_cast<unsigned char>(relevant[i - 1])) &&
                     result.back().isNumber == digit;
    if (!continues) result.push_back(Token{digit, 0, {}});
    if (digit)
      result.back().number = result.back().number * 10 + (byte - '0');
    else
      result.back().letters += static_cast<char>(byte);
  }
  return result;
}

int order(const Token& a, const Token& b) {
  if (a.isNumber != b.isNumber) return a.isNumber ? 1 : -1;
  if (a.isNumber) return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
  int text = a.letters.compare(b.letters);
  return text < 0 ? -1 : (text > 0 ? 1 : 0);
}

}  // namespace

bool isPlausible(const std::string& version) {
  if (version.empty() || version.size() > kMaxLength) return false;
  bool hasDigit = false;
  std::size_t digitRun = 0;
  for (char c : version) {
    auto byte = static_cast<unsigned char>(c);
    bool allowed = std::isalnum(byte) || c == '.' || c == '_' || c == '+' || c == '-' || c == ' ';
    if (!allowed || byte >= 0x80) return false;
    digitRun = std::isdigit(byte) ? digitRun + 1 : 0;
    if (digitRun > kMaxDigits) return false;
    hasDigit = hasDigit || digitRun > 0;
  }
  return hasDigit;
}

int compare(const std::string& a, const std::string& b) {
  auto left = tokens(a), right = tokens(b);
  for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
    int result = order(i < left.size() ? left[i] : kZero, i < right.size() ? right[i] : kZero);
    if (result != 0) return result;
  }
  return 0;
}

}  // namespace Versions
