// `halomark claude-hook install|remove|status`: the Claude Code hooks from a terminal.
#include <exception>
#include <ostream>

#include "cli/cli.h"
#include "hooks/claude_hook.h"
#include "maintenance/bundle.h"

namespace {

int printHookStatus(const std::string& home, CliContext& context) {
  context.out << (ClaudeHook::isInstalled(home) ? "Claude Code hooks: installed"
                                                : "Claude Code hooks: not installed")
              << '\n';
  return 0;
}

int installHooks(const std::string& home, CliContext& context) {
  auto bundle = Maintenance::appBundleURL(context.platform);
  if (!bundle) {
    context.err << "halomark: couldn't find the Halomark app\n";
    return 1;
  }
  try {
    ClaudeHook::install(*bundle, context.platform.files, home);
  } catch (const std::exception& failure) {
    context.err << "halomark: " << failure.what() << '\n';
    return 1;
  }
  context.out << "Claude Code will now pulse the logo when it needs your permission or input.\n"
              << "(Added to " << ClaudeHook::settingsPath(home) << "; a backup is next to it.)\n";
  return 0;
}

int removeHooks(const std::string& home, CliContext& context) {
  try {
    ClaudeHook::remove(context.platform.files, home);
  } catch (const std::exception& failure) {
    context.err << "halomark: " << failure.what() << '\n';
    return 1;
  }
  context.out << "Removed Halomark's hooks from " << ClaudeHook::settingsPath(home) << ".\n";
  return 0;
}

}  // namespace

namespace CLI {

int claudeHook(const std::vector<std::string>& arguments, CliContext& context) {
  std::string home = context.platform.process.homeDirectory();
  if (arguments.empty() || arguments.front() == "status") return printHookStatus(home, context);
  if (arguments.front() == "install") return installHooks(home, context);
  if (arguments.front() == "remove") return removeHooks(home, context);
  context.err << "usage: halomark claude-hook install|remove|status\n";
  return 2;
}

}  // namespace CLI
