#!/bin/bash
# Runs tray_latency.py against the tray application on a private X display with a real tray host
# (trayer), a private session bus with its accessibility bus, throw-away home and XDG folders and
# an emulated logo device, so nothing of the user's is read or written.
#
#   bench/tray_measurements.sh [BUILD_DIR] [RUNS] [IDLE_SECONDS]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
app="$build/Halomark.app/Contents/MacOS/Halomark"
device="$build/tools/halomark-device"
for program in "$app" "$device"; do
  [[ -x $program ]] || { echo "missing $program: build Halomark and halomark-device" >&2; exit 1; }
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root"/{home,config/halomark,data,cache,run}
chmod 700 "$root/run"
# The first launch would open the welcome window over the tray.
echo '{"welcomeShown": true}' >"$root/config/halomark/app.halomark.Halomark.json"

env -i PATH=/usr/bin:/bin HOME="$root/home" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data" \
  XDG_CACHE_HOME="$root/cache" XDG_RUNTIME_DIR="$root/run" LANG=C.UTF-8 QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 800x600x24" dbus-run-session -- bash -euo pipefail -c '
    "$1" create --multiplier 2 >/dev/null
    # Accessibility is on for the calibration run only; its bus has to be up before that starts.
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
      --method org.a11y.Bus.GetAddress >/dev/null
    trayer --edge top --align right --widthtype request --height 24 --transparent false \
      --SetDockType true --expand true & tray=$!
    trap "kill $tray 2>/dev/null || true" EXIT
    /usr/bin/python3 "$2" "$3" "$XDG_RUNTIME_DIR/halomark/logo-device.json" "$4" "$5"
  ' bash "$device" "$here/tray_latency.py" "$app" "${2:-30}" "${3:-30}"
