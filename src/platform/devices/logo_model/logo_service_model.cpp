#include "platform/devices/logo_model/logo_service_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "formats/brightness_table.h"

namespace {

using Rows = std::vector<std::pair<double, double>>;

bool isFiniteNumber(const PlistValue& value) {
  return value.is_number() && std::isfinite(value.get<double>());
}

bool isRow(const PlistValue& row) {
  return row.is_array() && row.size() >= 2 && std::all_of(row.begin(), row.end(), isFiniteNumber);
}

Rows rowsOf(const PlistDictionary& state, const char* key) {
  Rows rows;
  auto found = state.find(key);
  if (found == state.end() || !found->second.is_array()) return rows;
  for (const auto& row : found->second) {
    if (isRow(row)) rows.emplace_back(row[0].get<double>(), row[1].get<double>());
  }
  return rows;
}

// Linear between neighbouring rows, held at the first and last outputs beyond the table's ends.
std::optional<double> interpolate(const Rows& rows, double x) {
  if (rows.empty()) return std::nullopt;
  if (x <= rows.front().first) return rows.front().second;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    auto [x0, y0] = rows[i - 1];
    auto [x1, y1] = rows[i];
    if (x > x1) continue;
    if (x1 <= x0) return y1;
    return y0 + (x - x0) / (x1 - x0) * (y1 - y0);
  }
  return rows.back().second;
}

double number(const PlistDictionary& state, const char* key, double fallback) {
  auto found = state.find(key);
  return found != state.end() && isFiniteNumber(found->second) ? found->second.get<double>() : fallback;
}

// Whether the rows with an input above `from` differ in their output.
bool varies(const Rows& rows, double from) {
  std::optional<double> first;
  for (auto [input, output] : rows) {
    if (input <= from) continue;
    if (first && *first != output) return true;
    first = output;
  }
  return false;
}

bool lit(const PlistDictionary& state) { return number(state, kBacklightModeKey, 0) != 0; }

}  // namespace

namespace LogoServiceModel {

bool isTable(const PlistValue& value) {
  return value.is_array() && std::all_of(value.begin(), value.end(), isRow);
}

PlistValue normalizedTable(const PlistValue& value) {
  PlistValue rows = PlistValue::array();
  for (const auto& row : value) {
    PlistValue numbers = PlistValue::array();
    for (const auto& n : row) numbers.push_back(n.get<double>());
    rows.push_back(std::move(numbers));
  }
  return rows;
}

bool isMode(const PlistValue& value) {
  if (!value.is_number()) return false;
  double mode = value.get<double>();
  return mode == 0 || mode == 1 || mode == 2;
}

double finalNits(const PlistDictionary& state, double displayNits, double ambientLux) {
  if (!lit(state)) return 0;
  double nits =
      interpolate(rowsOf(state, kMappingKey), displayNits).value_or(0) * number(state, kMultiplierKey, 1.0);
  nits = std::max(nits, interpolate(rowsOf(state, kMinRestrictionKey), ambientLux).value_or(0));
  return std::min(nits, interpolate(rowsOf(state, kMaxRestrictionKey), ambientLux)
                            .value_or(std::numeric_limits<double>::infinity()));
}

bool followsDisplay(const PlistDictionary& state) {
  // The row at display brightness 0 only darkens the logo with the panel itself.
  return lit(state) && varies(rowsOf(state, kMappingKey), 0);
}

bool followsAmbientLight(const PlistDictionary& state) {
  constexpr double kBelowAnyLux = -1;
  return lit(state) && (varies(rowsOf(state, kMinRestrictionKey), kBelowAnyLux) ||
                        varies(rowsOf(state, kMaxRestrictionKey), kBelowAnyLux));
}

}  // namespace LogoServiceModel
