#include "app/process_entry.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

bool isLauncherArgument(std::string_view argument) {
  static constexpr std::array<std::string_view, 3> kPrefixes{"-psn_", "-NS", "-Apple"};
  return std::any_of(kPrefixes.begin(), kPrefixes.end(),
                     [&](std::string_view prefix) { return argument.starts_with(prefix); });
}

}  // namespace

namespace ProcessEntry {

std::vector<std::string> toolArguments(const std::vector<std::string>& processArguments) {
  std::vector<std::string> kept;
  for (std::size_t i = 1; i < processArguments.size(); ++i) {
    if (!isLauncherArgument(processArguments[i])) kept.push_back(processArguments[i]);
  }
  return kept;
}

Role role(const std::vector<std::string>& toolArguments) {
  if (toolArguments.empty()) return Role::application;
  if (toolArguments.size() == 1 && toolArguments.front().starts_with("halomark:")) return Role::openURL;
  return Role::tool;
}

}  // namespace ProcessEntry
