// The commands of the emulated logo device's companion tool, writing to the given streams.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace DeviceTool {

// Runs one command line (without the program name). Returns the exit status: 0 success,
// 1 the operation failed, 2 a usage error.
int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace DeviceTool
