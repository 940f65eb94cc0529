#include "platform/emulated/emulated_logo_state.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "logo/brightness_table.h"
#include "logo/logo_controller.h"

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

}  // namespace

namespace EmulatedLogoState {

PlistDictionary initial() {
  auto table = [](std::vector<std::vector<double>> rows) { return plistFromTable(rows); };
  return {
      {kMappingKey, table({{0, 0},
                           {0.1, 10},
                           {20, 15},
                           {50, 40},
                           {100, 90},
                           {200, 180},
                           {400, 420},
                           {800, 1000},
                           {LogoController::fltMax, 1000}})},
      {kMinRestrictionKey,
       table({{0, 10}, {100, 60}, {400, 200}, {1000, 500}, {3000, 1000}, {LogoController::fltMax, 1000}})},
      {kMaxRestrictionKey, table({{0, 250}, {50, 500}, {200, 1000}, {LogoController::fltMax, 1000}})},
      {kBacklightModeKey, 2},
      {kMultiplier, 1.0},
      {kDisplayLevel, 0.5},
      {kDisplayMaxNits, 500.0},
      {kAmbientLux, 100.0},
      {kModeStuck, false},
  };
}

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

double displayNits(const PlistDictionary& state) {
  return number(state, kDisplayLevel, 0) * number(state, kDisplayMaxNits, 0);
}

PlistDictionary pwmState(const PlistDictionary& state) {
  PlistDictionary result;
  auto multiplier = state.find(kMultiplier);
  bool hasMultiplier = multiplier != state.end() && isFiniteNumber(multiplier->second);
  if (hasMultiplier) result[kMultiplier] = multiplier->second.get<double>();

  double finalNits = 0;
  if (number(state, kBacklightModeKey, 0) != 0) {
    double lux = number(state, kAmbientLux, 0);
    finalNits = interpolate(rowsOf(state, kMappingKey), displayNits(state)).value_or(0) *
                (hasMultiplier ? multiplier->second.get<double>() : 1.0);
    finalNits = std::max(finalNits, interpolate(rowsOf(state, kMinRestrictionKey), lux).value_or(0));
    finalNits = std::min(finalNits, interpolate(rowsOf(state, kMaxRestrictionKey), lux)
                                        .value_or(std::numeric_limits<double>::infinity()));
  }
  result["FinalNits"] = finalNits;
  return result;
}

}  // namespace EmulatedLogoState
