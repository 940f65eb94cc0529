// Process entry: assembles the Linux platform and runs the tool or the application.
#include <iostream>

#include "app/process_entry.h"
#include "cli/cli.h"
#include "platform/linux/headless_application.h"
#include "platform/linux/linux_platform.h"

int main(int argc, char** argv) {
  auto arguments = ProcessEntry::toolArguments({argv, argv + argc});
  LinuxPlatform system(argc, argv);
  if (ProcessEntry::role(arguments) == ProcessEntry::Role::application) {
    return HeadlessApplication::run(argc, argv, system.platform());
  }
  CliContext context{system.platform(), std::cout, std::cerr, std::cin};
  return CLI::run(arguments, context);
}
