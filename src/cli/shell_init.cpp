#include "cli/shell_init.h"

#include <charconv>
#include <cmath>
#include <ostream>

namespace ShellInit {

namespace {

constexpr const char* kUsage = "usage: halomark shell-init bash|zsh|fish [--after SECONDS]\n";
// Beyond this nobody waits at a terminal, and the microseconds still fit the shells' integers.
constexpr double kLongestAfterSeconds = 1e9;

// bash 5: the start is taken when PS0 is expanded (a command line was read), the command's text
// by a DEBUG trap that runs before any other the user set, the end in PROMPT_COMMAND before
// anything else there can change $?. EPOCHREALTIME and arithmetic need no process.
constexpr const char* kBash =
    R"BASH(# Halomark: signal the logo when an interactive command ran at least @AFTER@ seconds.
if [[ $- == *i* && -z ${_halomark_after_us-} ]]; then
  _halomark_after_us=@AFTER_US@
  _halomark_tool=@TOOL@
  _halomark_started= _halomark_armed= _halomark_command= _halomark_empty=
  PS0="${PS0-}"'${_halomark_empty:$((_halomark_started=${EPOCHREALTIME//[!0-9]/}, _halomark_armed=1, 0)):0}'
  _halomark_preexec() {
    if [[ $_halomark_armed == 1 && $BASH_COMMAND != _halomark_* ]]; then
      _halomark_armed=
      _halomark_command=$BASH_COMMAND
    fi
    return "${1:-0}"
  }
  _halomark_precmd() {
    local exit_status=$? line
    if [[ -n $_halomark_started ]] &&
       (( ${EPOCHREALTIME//[!0-9]/} - _halomark_started >= _halomark_after_us )); then
      line=$_halomark_command
      if [[ -z $line ]]; then
        line=$(HISTTIMEFORMAT= builtin history 1)
        line=${line#*[0-9]  }
      fi
      ( "$_halomark_tool" shell-done --status "$exit_status" --window "${WINDOWID-}" \
          --interactive "${HALOMARK_INTERACTIVE_COMMANDS-}" -- "$line" </dev/null >/dev/null 2>&1 & )
    fi
    _halomark_started= _halomark_armed= _halomark_command=
    return "$exit_status"
  }
  _halomark_prior_debug=$(trap -p DEBUG)
  if [[ -n $_halomark_prior_debug ]]; then
    _halomark_take() { _halomark_prior_debug=$2; }
    eval "_halomark_take ${_halomark_prior_debug#trap }"
    unset -f _halomark_take
    trap '_halomark_preexec "$?"; '"$_halomark_prior_debug" DEBUG
  else
    trap '_halomark_preexec' DEBUG
  fi
  if [[ $(declare -p PROMPT_COMMAND 2>/dev/null) == "declare -a"* ]]; then
    PROMPT_COMMAND=(_halomark_precmd "${PROMPT_COMMAND[@]}")
  else
    PROMPT_COMMAND="_halomark_precmd${PROMPT_COMMAND:+$'\n'$PROMPT_COMMAND}"
  fi
fi
)BASH";

// zsh: preexec and precmd hooks; this precmd goes first, so it reads the command's own $?.
constexpr const char* kZsh =
    R"ZSH(# Halomark: signal the logo when an interactive command ran at least @AFTER@ seconds.
if [[ -o interactive && -z ${_halomark_after-} ]]; then
  zmodload zsh/datetime
  typeset -g _halomark_after=@AFTER_SECONDS@ _halomark_tool=@TOOL@ _halomark_started= _halomark_command=
  _halomark_preexec() {
    _halomark_started=$EPOCHREALTIME
    _halomark_command=$1
  }
  _halomark_precmd() {
    local exit_status=$?
    if [[ -n $_halomark_started ]] && (( EPOCHREALTIME - _halomark_started >= _halomark_after )); then
      "$_halomark_tool" shell-done --status "$exit_status" --window "${WINDOWID-}" \
        --interactive "${HALOMARK_INTERACTIVE_COMMANDS-}" -- "$_halomark_command" </dev/null >/dev/null 2>&1 &!
    fi
    _halomark_started=
    return $exit_status
  }
  typeset -ga preexec_functions precmd_functions
  preexec_functions=(_halomark_preexec ${preexec_functions[@]})
  precmd_functions=(_halomark_precmd ${precmd_functions[@]})
fi
)ZSH";

// fish: its own fish_postexec event gives the line, the status and the duration in milliseconds.
// An empty line runs no command and sends no event.
constexpr const char* kFish =
    R"FISH(# Halomark: signal the logo when an interactive command ran at least @AFTER@ seconds.
if status is-interactive; and not set -q _halomark_after_ms
    set -g _halomark_after_ms @AFTER_MS@
    set -g _halomark_tool @TOOL@
    function _halomark_postexec --on-event fish_postexec
        set -l exit_status $status
        if test "$CMD_DURATION" -ge $_halomark_after_ms 2>/dev/null
            # fish gives a job stopped by Control-Z the status 0; it has not ended.
            set -l last (jobs --last 2>/dev/null | string split -m 4 \t)
            test "$last[4]" = stopped; and test "$last[5]" = "$argv[1]"; and return
            set -l window
            set -q WINDOWID; and set window $WINDOWID
            set -l interactive
            set -q HALOMARK_INTERACTIVE_COMMANDS; and set interactive "$HALOMARK_INTERACTIVE_COMMANDS"
            # Started in the background by sh, which ends at once: fish keeps no job to report.
            command sh -c '"$0" "$@" </dev/null >/dev/null 2>&1 &' $_halomark_tool shell-done \
                --status $exit_status --window "$window" --interactive "$interactive" -- $argv[1]
        end
    end
end
)FISH";

std::string replaced(std::string text, const std::string& mark, const std::string& value) {
  for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
    text.replace(at, mark.size(), value);
  return text;
}

// Single quotes take everything literally in bash and zsh; a quote inside is closed, escaped and
// reopened.
std::string posixQuoted(const std::string& text) { return "'" + replaced(text, "'", "'\\''") + "'"; }

// fish's single quotes know two escapes: \' and \\.
std::string fishQuoted(const std::string& text) {
  return "'" + replaced(replaced(text, "\\", "\\\\"), "'", "\\'") + "'";
}

// Seconds as a plain decimal with at most six fraction digits, whatever the locale.
std::string decimal(long long microseconds) {
  std::string fraction = std::to_string(microseconds % 1000000);
  fraction = std::string(6 - fraction.size(), '0') + fraction;
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return std::to_string(microseconds / 1000000) + (fraction.empty() ? "" : "." + fraction);
}

std::optional<double> positiveSeconds(const std::string& text) {
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!std::isfinite(value) || value <= 0 || value > kLongestAfterSeconds) return std::nullopt;
  return value;
}

// The tool as the snippet calls it: the path it was started by, kept as a link (an upgrade keeps
// the link); a relative one would break once the shell changes folders.
std::string toolPath(Platform& platform) {
  auto arguments = platform.process.arguments();
  if (!arguments.empty() && arguments.front().starts_with("/")) return arguments.front();
  if (auto bundle = platform.bundles.mainBundlePath(); bundle && bundle->starts_with("/"))
    return *bundle + "/Contents/MacOS/Halomark";
  return "halomark";
}

}  // namespace

std::optional<std::string> snippet(const std::string& shell, double afterSeconds, const std::string& tool) {
  auto microseconds = std::max(1LL, std::llround(afterSeconds * 1e6));
  std::string text;
  if (shell == "bash") {
    text = replaced(replaced(kBash, "@AFTER_US@", std::to_string(microseconds)), "@TOOL@", posixQuoted(tool));
  } else if (shell == "zsh") {
    text = replaced(replaced(kZsh, "@AFTER_SECONDS@", decimal(microseconds)), "@TOOL@", posixQuoted(tool));
  } else if (shell == "fish") {
    auto milliseconds = std::max(1LL, (microseconds + 999) / 1000);
    text = replaced(replaced(kFish, "@AFTER_MS@", std::to_string(milliseconds)), "@TOOL@", fishQuoted(tool));
  } else {
    return std::nullopt;
  }
  return replaced(text, "@AFTER@", decimal(microseconds));
}

int command(const std::vector<std::string>& arguments, CliContext& context) {
  std::optional<std::string> shell;
  double after = kDefaultAfterSeconds;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "--after") {
      auto seconds = i + 1 < arguments.size() ? positiveSeconds(arguments[++i]) : std::nullopt;
      if (!seconds) {
        context.err << "halomark: --after takes a positive number of seconds\n" << kUsage;
        return 2;
      }
      after = *seconds;
    } else if (!shell) {
      shell = word;
    } else {
      context.err << kUsage;
      return 2;
    }
  }
  auto text = shell ? snippet(*shell, after, toolPath(context.platform)) : std::nullopt;
  if (!text) {
    if (shell) context.err << "halomark: shell-init knows bash, zsh and fish, not " << *shell << "\n";
    context.err << kUsage;
    return 2;
  }
  context.out << *text;
  return 0;
}

}  // namespace ShellInit
