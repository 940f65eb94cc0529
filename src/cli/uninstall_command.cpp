// `halomark uninstall`: confirms, asks the running application to quit, removes the product and
// reports each result.
#include <istream>
#include <ostream>

#include "cli/ascii_case.h"
#include "cli/cli.h"
#include "cli/uninstall_report.h"
#include "formats/app_identifier.h"
#include "logo/logo_controller.h"
#include "maintenance/bundle.h"

namespace {

bool userConfirms(const std::string& bundle, CliContext& context) {
  context.out
      << "This restores Apple's normal logo behavior, removes Halomark's settings and command links,\n"
      << "and moves " << bundle << " to the Trash. Continue? [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(context.in, answer)) return false;
  answer = asciiLowercase(answer);
  return answer == "y" || answer == "yes";
}

// A packaged program is the package manager's to remove; say so before anything happens, since the
// confirmation speaks of the Trash.
void explainPackagedInstall(const std::string& bundle, CliContext& context) {
  auto package = context.platform.bundles.installingPackage(bundle);
  if (!package) return;
  context.out << "The package " << *package
              << " installed Halomark, so the package manager removes the program "
              << "(sudo apt remove " << *package << "); this does the rest for your account.\n";
}

}  // namespace

namespace CLI {

int uninstall(Prefs& prefs, bool confirmed, CliContext& context) {
  auto bundle = Maintenance::appBundleURL(context.platform);
  if (!bundle) {
    context.err << "halomark: couldn't find the Halomark app to uninstall\n";
    return 1;
  }
  explainPackagedInstall(*bundle, context);
  if (!confirmed && !userConfirms(*bundle, context)) {
    context.out << "Cancelled.\n";
    return 1;
  }
  quitApp(context);
  LogoController logo(context.platform);
  auto result = Maintenance::uninstall(*bundle, logo, prefs, context.platform);
  reportUninstall(result, context);
  return result.errors.empty() ? 0 : 1;
}

}  // namespace CLI
