#!/bin/bash
# Measures `halomark status --follow` in a throw-away session: each change from the moment it is
# written (the preference file without the application, the logo device with it) to the line the
# follower prints, the follower's idle wake-ups, and the idle application's PropertiesChanged
# signals.
#
#   bench/follow_measurements.sh [BUILD_DIR] [IDLE_SECONDS]
#
# BUILD_DIR defaults to ./build (Halomark and halomark-device built); IDLE_SECONDS to 60.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
idle=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/throwaway_session.sh"
require "$build/Halomark.app/Contents/MacOS/Halomark" "$build/tools/halomark-device"

"${isolated[@]}" dbus-run-session -- python3 "$here/follow_measurements.py" "$build" "$idle" "$root"
