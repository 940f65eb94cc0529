#include "platform/linux/sysfs_read.h"

#include <charconv>
#include <fstream>

namespace Sysfs {

std::optional<std::string> readLine(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return std::nullopt;
  auto first = line.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  auto last = line.find_last_not_of(" \t\r\n");
  return line.substr(first, last - first + 1);
}

std::optional<long long> readInteger(const std::filesystem::path& file) {
  auto line = readLine(file);
  if (!line || line->empty()) return std::nullopt;
  long long value = 0;
  auto [end, error] = std::from_chars(line->data(), line->data() + line->size(), value);
  if (error != std::errc() || end != line->data() + line->size()) return std::nullopt;
  return value;
}

}  // namespace Sysfs
