#include "platform/linux_utilities/sysfs_read.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <string_view>

namespace Sysfs {

std::vector<std::filesystem::path> entries(const std::filesystem::path& directory) {
  std::vector<std::filesystem::path> result;
  std::error_code error;
  // The increment that takes an error code: the throwing one would end the whole process when an
  // entry vanishes under the listing.
  for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
       it.increment(error))
    result.push_back(it->path());
  std::sort(result.begin(), result.end());
  return result;
}

std::vector<std::filesystem::path> entriesBelow(const std::filesystem::path& directory, int depth) {
  std::vector<std::filesystem::path> result;
  for (auto& entry : entries(directory)) {
    std::error_code error;
    bool folder = depth > 0 && std::filesystem::symlink_status(entry, error).type() ==
                                   std::filesystem::file_type::directory;
    result.push_back(entry);
    if (folder) {
      auto inner = entriesBelow(entry, depth - 1);
      result.insert(result.end(), inner.begin(), inner.end());
    }
  }
  return result;
}

std::optional<std::string> readFile(const std::filesystem::path& file, std::size_t limit) {
  int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  std::array<char, 4096> buffer;
  bool failed = false;
  while (bytes.size() < limit) {
    ssize_t n = ::read(fd, buffer.data(), std::min(buffer.size(), limit - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    // A pipe with nothing waiting in it has nothing to read.
    if (n < 0 && errno == EAGAIN) break;
    if (n <= 0) {
      failed = n < 0;
      break;
    }
    bytes.append(buffer.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (failed) return std::nullopt;
  return bytes;
}

std::optional<std::string> readLine(const std::filesystem::path& file) {
  // Attribute files hold a line or a few; a page is more than any of them.
  auto bytes = readFile(file, 4096);
  if (!bytes) return std::nullopt;
  std::string line = bytes->substr(0, bytes->find('\n'));
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

std::optional<std::string> environmentValue(const std::string& environment, const std::string& name) {
  std::size_t at = 0;
  while (at < environment.size()) {
    std::size_t end = environment.find('\0', at);
    if (end == std::string::npos) end = environment.size();
    std::string_view entry(environment.data() + at, end - at);
    if (entry.size() > name.size() && entry.starts_with(name) && entry[name.size()] == '=')
      return std::string(entry.substr(name.size() + 1));
    at = end + 1;
  }
  return std::nullopt;
}

}  // namespace Sysfs
