#include "platform/linux_services/process_info_linux.h"

#include "platform/linux_utilities/user_directories.h"

LinuxProcessInfo::LinuxProcessInfo(int argc, char** argv) : arguments_(argv, argv + argc) {}

std::vector<std::string> LinuxProcessInfo::arguments() { return arguments_; }

std::string LinuxProcessInfo::homeDirectory() { return UserDirectories::home(); }
