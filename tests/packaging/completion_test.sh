#!/usr/bin/env bash
# Sources the bash completion and checks what Tab offers at typical points of a command line; checks
# the fish completion the same way and the zsh completion's syntax where those shells are installed.
# Usage: completion_test.sh <folder with the completion scripts>
set -uo pipefail
completions=$1
failures=0

# shellcheck source=/dev/null
source "$completions/halomark.bash"

# The completions bash offers for a command line; the cursor sits at its end.
offered() {
  local line=$1
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  _halomark
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {
  local line=$1 wanted=$2 got
  got=$(offered "$line")
  if [[ $got != "$wanted" ]]; then
    echo "bash: '$line' offered '$got', expected '$wanted'"
    ((failures++))
  fi
}

# Only checks that `wanted` is among the offers (command names depend on the machine).
expect_among() {
  local line=$1 wanted=$2 got
  got=" $(offered "$line") "
  if [[ $got != *" $wanted "* ]]; then
    echo "bash: '$line' offered '$got', expected it to include '$wanted'"
    ((failures++))
  fi
}

expect "halomark " "auto automatic claude-hook help off on reset run set shell-init signal status toggle uninstall version"
expect "halomark to" "toggle"
expect "halomark s" "set shell-init signal status"
expect "halomark status " "--follow --format --json"
expect "halomark status --format " "json waybar"
expect "halomark status --follow --format w" "waybar"
expect "halomark shell-init " "--after bash fish zsh"
expect "halomark shell-init --after " ""
expect "halomark shell-init zsh " "--after"
expect "halomark set " "150 25 600"
expect "halomark set 80 " ""
expect "halomark signal " "--message --style stop"
expect "halomark signal stop --" "--message --style"
expect "halomark signal --message " ""
expect "halomark SIGNAL --style d" "double"
expect "halomark signal --message hi --style " "breathing double steady"
expect "halomark claude-hook " "install remove status"
expect "halomark claude-hook install " ""
expect "halomark uninstall " "--yes"
expect "halomark run --style st" "steady"
expect "halomark run --" "-- --message --style"
expect_among "halomark run -- ech" "echo"
expect_among "halomark run --message hi ech" "echo"
# Once the command has begun, its own words are not Halomark's options.
expect "halomark run make --st" ""

if command -v fish >/dev/null; then
  fish_offered() {
    fish -c "source '$completions/halomark.fish'; complete -C '$1'" | cut -f1 | sort | tr '\n' ' ' | sed 's/ $//'
  }
  while IFS='|' read -r line wanted; do
    got=$(fish_offered "$line")
    if [[ $got != "$wanted" ]]; then
      echo "fish: '$line' offered '$got', expected '$wanted'"
      ((failures++))
    fi
  done <<'CASES'
halomark cl|claude-hook
halomark set |150 25 600
halomark signal |stop
halomark signal --style |breathing double steady
halomark claude-hook |install remove status
halomark uninstall -|--yes -y
halomark sh|shell-init
halomark shell-init |bash fish zsh
halomark status --format |json waybar
CASES
fi

if command -v zsh >/dev/null && ! zsh -n "$completions/_halomark"; then
  echo "zsh: the completion does not parse"
  ((failures++))
fi

echo "completion checks: $failures failed"
((failures == 0))
