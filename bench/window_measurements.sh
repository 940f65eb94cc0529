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
for program in "$bench" "$device"; do
  [[ -x $program ]] || { echo "missing $program: build window_bench and halomark-device" >&2; exit 1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root"/{home,config,data,cache,run}
chmod 700 "$root/run"

env -i PATH=/usr/bin:/bin HOME="$root/home" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data" \
  XDG_CACHE_HOME="$root/cache" XDG_RUNTIME_DIR="$root/run" LANG=C.UTF-8 \
  dbus-run-session -- bash -euo pipefail -c '
    "$0" create >/dev/null
    xvfb-run -a -s "-screen 0 1280x800x24" "$1" "$2"
  ' "$device" "$bench" "$pictures"
