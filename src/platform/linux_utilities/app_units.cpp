#include "platform/linux_utilities/app_units.h"

#include <sstream>
#include <vector>

namespace AppUnits {

namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::string piece;
  std::istringstream in(text);
  while (std::getline(in, piece, separator)) pieces.push_back(piece);
  return pieces;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Undoes systemd's \xNN escaping (an ID's own dashes arrive as \x2d).
std::string unescape(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && hexDigit(text[i + 2]) >= 0 &&
        hexDigit(text[i + 3]) >= 0) {
      result += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
      i += 3;
    } else {
      result += text[i];
    }
  }
  return result;
}

bool isApplicationId(const std::string& id) {
  if (id.empty()) return false;
  for (char c : id) {
    bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                   c == '_' || c == '-';
    if (!allowed) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> appIdFromUnit(const std::string& unitName) {
  if (unitName.rfind("app-", 0) != 0) return std::nullopt;
  bool scope = endsWith(unitName, ".scope");
  if (!scope && !endsWith(unitName, ".service")) return std::nullopt;
  std::string body = unitName.substr(4, unitName.size() - 4 - (scope ? 6 : 8));
  if (!scope) body = body.substr(0, body.find('@'));
  // Split before unescaping: only the separators are literal dashes.
  auto pieces = split(body, '-');
  if (scope) {
    if (pieces.size() < 2) return std::nullopt;
    pieces.pop_back();
  }
  if (pieces.empty()) return std::nullopt;
  std::string id = unescape(pieces.back());
  if (!isApplicationId(id)) return std::nullopt;
  return id;
}

std::optional<std::string> appIdFromCgroup(const std::string& cgroupContents) {
  std::istringstream lines(cgroupContents);
  std::string line;
  while (std::getline(lines, line)) {
    // "hierarchy:controllers:path"; the unified hierarchy and systemd's own name the units.
    auto first = line.find(':');
    auto second = first == std::string::npos ? first : line.find(':', first + 1);
    if (second == std::string::npos) continue;
    auto components = split(line.substr(second + 1), '/');
    for (auto it = components.rbegin(); it != components.rend(); ++it) {
      if (auto id = appIdFromUnit(*it)) return id;
    }
  }
  return std::nullopt;
}

}  // namespace AppUnits
