#include "cli/command_outcome.h"

namespace CommandOutcome {

std::string lastPathComponent(const std::string& path) {
  auto end = path.find_last_not_of('/');
  if (end == std::string::npos) return path.empty() ? path : "/";
  auto slash = path.find_last_of('/', end);
  auto begin = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(begin, end + 1 - begin);
}

std::string message(int status, const std::string& commandName) {
  std::string name = lastPathComponent(commandName);
  if (status == 0) return "Done: " + name;
  return "Failed (" + std::to_string(status) + "): " + name;
}

}  // namespace CommandOutcome
