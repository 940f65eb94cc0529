#!/bin/bash
# What the shell snippet adds to each prompt of real interactive bash, zsh and fish, in a
# throw-away home (shell_prompt_cost.py says how).
#
#   bench/shell_prompt_cost.sh [BUILD_DIR] [PROMPTS] [ROUNDS]
#
# BUILD_DIR defaults to ./build; PROMPTS to 200; ROUNDS to 5.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/throwaway_session.sh"
require "$build/Halomark.app/Contents/MacOS/Halomark"

"${isolated[@]}" python3 "$here/shell_prompt_cost.py" "$build" "$root" "${2:-200}" "${3:-5}"
