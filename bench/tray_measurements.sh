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
source "$here/throwaway_session.sh"
require "$app" "$device"

# The first launch would open the welcome window over the tray.
mkdir -p "$root/config/halomark"
echo '{"welcomeShown": true}' >"$root/config/halomark/app.halomark.Halomark.json"

"${isolated[@]}" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 800x600x24" dbus-run-session -- bash -euo pipefail -c '
    "$1" create --multiplier 2 >/dev/null
    # Accessibility is on for the calibration run only; its bus has to be up before that starts.
    gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
      --method org.a11y.Bus.GetAddress >/dev/null
    trayer --edge top --align right --widthtype request --height 24 --transparent false \
      --SetDockType true --expand true & tray=$!
    trap "kill $tray 2>/dev/null || true" EXIT
    /usr/bin/python3 "$2" "$3" "$XDG_RUNTIME_DIR/halomark/logo-device.json" "$4" "$5"
  ' bash "$device" "$here/tray_latency.py" "$app" "${2:-30}" "${3:-30}"
