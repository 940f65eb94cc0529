#!/bin/bash
# Runs window_bench on a private X display and session bus with throw-away home and XDG folders and
# an emulated logo device, so nothing of the user's is read or written.
#
#   bench/window_measurements.sh [BUILD_DIR] [PICTURE_DIR]
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
pictures=${2:-}
[[ -n $pictures ]] && pictures=$(mkdir -p "$pictures" && cd "$pictures" && pwd)
bench="$build/bench/window_bench"
device="$build/tools/halomark-device"
source "$(dirname "$0")/throwaway_session.sh"
require "$bench" "$device"

"${isolated[@]}" dbus-run-session -- bash -euo pipefail -c '
    "$0" create >/dev/null
    xvfb-run -a -s "-screen 0 1280x800x24" "$1" "$2"
  ' "$device" "$bench" "$pictures"
