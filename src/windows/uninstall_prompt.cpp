#include "windows/uninstall_prompt.h"

#include <vector>

namespace {

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string text;
  for (const auto& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
}

}  // namespace

namespace UninstallPrompt {

std::optional<std::string> leftovers(const Maintenance::UninstallResult& result) {
  if (result.errors.empty() && result.failedLinks.empty()) return std::nullopt;
  std::vector<std::string> entries = result.errors;
  if (!result.failedLinks.empty()) {
    entries.push_back("Couldn't remove: " + joined(result.failedLinks, ", ") +
                      ". Delete it in Terminal with: sudo rm " + joined(result.failedLinks, " "));
  }
  return joined(entries, "\n\n");
}

}  // namespace UninstallPrompt
