#include "platform/linux/process_info_linux.h"

#include "platform/linux/user_directories.h"

LinuxProcessInfo::LinuxProcessInfo(int argc, char** argv) : arguments_(argv, argv + argc) {}

std::vector<std::string> LinuxProcessInfo::arguments() { return arguments_; }

std::string LinuxProcessInfo::homeDirectory() { return UserDirectories::home(); }
