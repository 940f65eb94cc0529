#include "cli/uninstall_report.h"

#include <ostream>

#include "maintenance/command_links.h"

namespace CLI {

void reportUninstall(const Maintenance::UninstallResult& result, CliContext& context) {
  context.out << "Logo restored to Apple's normal behavior.\n";
  for (const auto& link : result.removedLinks) context.out << "Removed command link " << link << "\n";
  for (const auto& link : result.failedLinks) {
    // The path is quoted for the shell when needed, so the command removes exactly that link.
    context.out << "Couldn't remove " << link << " \u2014 delete it with: sudo rm "
                << Maintenance::shellWord(link) << "\n";
  }
  for (const auto& error : result.errors) context.err << "halomark: " << error << "\n";
  if (result.trashedApp) context.out << "Moved Halomark to the Trash (" << *result.trashedApp << ").\n";
}

}  // namespace CLI
