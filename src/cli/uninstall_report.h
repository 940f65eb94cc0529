// What `halomark uninstall` prints about the outcome: what went, what is left and how to remove it.
#pragma once

#include "cli/cli.h"
#include "maintenance/uninstall.h"

namespace CLI {

void reportUninstall(const Maintenance::UninstallResult& result, CliContext& context);

}  // namespace CLI
