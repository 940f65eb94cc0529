#include "formats/brightness_table.h"

std::optional<BrightnessTable> tableFromPlist(const PlistValue& value) {
  if (!value.is_array()) return std::nullopt;
  BrightnessTable table;
  table.reserve(value.size());
  for (const auto& row : value) {
    if (!row.is_array()) return std::nullopt;
    std::vector<double> numbers;
    numbers.reserve(row.size());
    for (const auto& number : row) {
      if (!number.is_number()) return std::nullopt;
      numbers.push_back(number.get<double>());
    }
    table.push_back(std::move(numbers));
  }
  return table;
}

PlistValue plistFromTable(const BrightnessTable& table) {
  PlistValue rows = PlistValue::array();
  for (const auto& row : table) {
    PlistValue numbers = PlistValue::array();
    for (double number : row) numbers.push_back(number);
    rows.push_back(std::move(numbers));
  }
  return rows;
}
