// `halomark status`: the setting, a rule overriding it now, the logo's brightness and whether the
// application runs, one aligned line each. The rule is evaluated here from a fresh snapshot, so the
// report holds even when the application does not run.
#include <cmath>
#include <ostream>

#include "automation/automation_rules.h"
#include "cli/cli.h"
#include "cli/status_follow.h"
#include "formats/app_identifier.h"
#include "logo/logo_controller.h"

namespace {

std::string describe(const Setting& setting, Locale& locale) {
  switch (setting.kind) {
    case Setting::Kind::automatic: return "Automatic (follows display)";
    case Setting::Kind::off: return "Off";
    case Setting::Kind::fixed: break;
  }
  return "Fixed, " + locale.formatDecimal(setting.nits) + " nits";
}

}  // namespace

namespace CLI {

void printStatus(Prefs& prefs, CliContext& context) {
  Platform& platform = context.platform;
  std::ostream& out = context.out;
  auto now = Power::outlook(prefs, platform);
  out << "Setting:      " << describe(now.stored, platform.locale) << "\n";
  if (const auto& rule = now.rule; rule && rule->kind == Power::RuleOverride::Kind::off) {
    out << "Held off:     " << rule->reason << " (Automation rule)\n";
  } else if (rule) {
    out << "Dimmed:       " << static_cast<long long>(std::trunc(rule->nits)) << " nits (" << rule->reason
        << ")\n";
  }
  LogoController logo(platform);
  if (auto nits = logo.stateValue("FinalNits")) out << "Logo now:     " << std::llround(*nits) << " nits\n";
  if (auto advice = platform.logoHardware.accessAdvice()) out << "Access:       " << *advice << "\n";
  out << "Halomark app: " << (platform.instances.isRunning(kAppIdentifier) ? "running" : "not running")
      << "\n";
}

int status(const std::vector<std::string>& arguments, Prefs& prefs, CliContext& context) {
  auto options = StatusFollow::parse(arguments, context.err);
  if (!options) return 2;
  if (options->follow) return StatusFollow::follow(options->format, prefs, context);
  if (options->format == StatusFollow::Format::text) {
    printStatus(prefs, context);
    return 0;
  }
  Platform& platform = context.platform;
  bool running = platform.instances.isRunning(kAppIdentifier);
  // Only the running application knows its signal; one that does not run is not asked.
  auto published = running ? platform.applicationState.published(kAppIdentifier) : std::nullopt;
  context.out << StatusFollow::line(options->format, prefs, platform, running, published) << '\n';
  return 0;
}

}  // namespace CLI
