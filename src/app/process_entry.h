// Which role a process plays: the launcher adds arguments of its own when it starts an application;
// once those are dropped, any argument left makes the process the `halomark` tool.
#pragma once

#include <string>
#include <vector>

namespace ProcessEntry {

// `openURL`: the desktop opening a halomark: URL runs the executable with the URL alone.
enum class Role { tool, application, openURL };

// The arguments after the program path, without the ones a launcher adds ("-psn_…", "-NS…",
// "-Apple…"; case-sensitive prefixes), in their order.
std::vector<std::string> toolArguments(const std::vector<std::string>& processArguments);

Role role(const std::vector<std::string>& toolArguments);

}  // namespace ProcessEntry
