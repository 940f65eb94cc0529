#include "updates/version_compare.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

namespace Versions {

namespace {

constexpr std::size_t kMaxLength = 64;
constexpr std::size_t kMaxDigits = 18;

enum class Kind { number, letters, separator };

struct Part {
  Kind kind;
  std::string text;
};

Kind kindOf(char c) {
  auto byte = static_cast<unsigned char>(c);
  if (std::isdigit(byte)) return Kind::number;
  if (std::isalpha(byte)) return Kind::letters;
  return Kind::separator;
}

// Runs of digits, runs of letters, and each separator on its own.
std::vector<Part> split(const std::string& version) {
  std::string relevant = version.substr(0, version.find('-'));
  std::vector<Part> parts;
  for (char c : relevant) {
    Kind kind = kindOf(c);
    if (kind != Kind::separator && !parts.empty() && parts.back().kind == kind) {
      parts.back().text += c;
    } else {
      parts.push_back({kind, std::string(1, c)});
    }
  }
  return parts;
}

std::uint64_t numberOf(const Part& part) {
  std::uint64_t value = 0;
  for (char digit : part.text) value = value * 10 + static_cast<std::uint64_t>(digit - '0');
  return value;
}

int compareSameKind(const Part& a, const Part& b) {
  if (a.kind == Kind::number) {
    auto x = numberOf(a), y = numberOf(b);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (a.kind == Kind::letters) return a.text.compare(b.text) < 0 ? -1 : (a.text == b.text ? 0 : 1);
  return 0;
}

// Parts of different kinds: a number beats letters and a separator; letters lose to both.
int compareKinds(Kind a, Kind b) {
  if (a == Kind::letters) return -1;
  if (b == Kind::letters) return 1;
  return a == Kind::number ? 1 : -1;
}

// What the longer version's remaining parts say: trailing zeros and separators change nothing,
// letters make a pre-release (older), any other number makes it newer.
int compareTail(const std::vector<Part>& parts, std::size_t from) {
  for (std::size_t i = from; i < parts.size(); ++i) {
    if (parts[i].kind == Kind::letters) return -1;
    if (parts[i].kind == Kind::number && numberOf(parts[i]) != 0) return 1;
  }
  return 0;
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
  auto left = split(a), right = split(b);
  std::size_t common = std::min(left.size(), right.size());
  for (std::size_t i = 0; i < common; ++i) {
    int order = left[i].kind == right[i].kind ? compareSameKind(left[i], right[i])
                                              : compareKinds(left[i].kind, right[i].kind);
    if (order != 0) return order;
  }
  if (left.size() > common) return compareTail(left, common);
  if (right.size() > common) return -compareTail(right, common);
  return 0;
}

}  // namespace Versions
