// Process entry: assembles the Linux platform and runs the tool or the application, or hands a URL
// the desktop opened to the application.
#include <iostream>

#include "app/open_url_request.h"
#include "app/process_entry.h"
#include "cli/cli.h"
#include "shell/application_shell.h"
#include "shell/linux_platform.h"

int main(int argc, char** argv) {
  auto arguments = ProcessEntry::toolArguments({argv, argv + argc});
  LinuxPlatform system(argc, argv);
  switch (ProcessEntry::role(arguments)) {
    case ProcessEntry::Role::application: return ApplicationShell::run(argc, argv, system.platform());
    case ProcessEntry::Role::openURL: return OpenURLRequest::forward(arguments, system.platform());
    case ProcessEntry::Role::tool: break;
  }
  CliContext context{system.platform(), std::cout, std::cerr, std::cin};
  return CLI::run(arguments, context);
}
