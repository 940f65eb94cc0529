#!/bin/bash
# Measures how the running application holds up against oversized input, in a throw-away session:
# its peak memory while refusing a feed of hundreds of megabytes (with and without a declared
# length), how long a feed server that sends a byte a second can hold a check (the deadline), and
# the time and memory of bus calls carrying a million values or megabyte strings.
#
#   bench/limits_measurements.sh [BUILD_DIR] [FEED_MEGABYTES]
#
# BUILD_DIR defaults to ./build; FEED_MEGABYTES to 500. The deadline run takes about a minute.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
megabytes=${2:-500}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
device="$build/tools/halomark-device"
source "$(dirname "$0")/throwaway_session.sh"
require "$build/Halomark.app/Contents/MacOS/Halomark" "$device"

"${isolated[@]}" BUILD="$build" DEVICE="$device" DATA="$source_dir/tests/data" MEGABYTES="$megabytes" \
  ROOT="$root" dbus-run-session -- bash -euo pipefail -c '
    owned() {
      gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$1" | grep -q true
    }
    wait_for() { for _ in $(seq 200); do "$@" && return 0; sleep 0.05; done; return 1; }
    memory() { awk "/^$2:/ {print \$2 / 1024 \" MB\"}" /proc/$1/status; }

    python3 -m dbusmock --template notification_daemon -l "$ROOT/notifications.log" & mock=$!
    python3 "$DATA/feed_server.py" --lifetime 600 > "$ROOT/port" & server=$!
    trap "kill $mock $server 2>/dev/null || true" EXIT
    wait_for owned org.freedesktop.Notifications
    wait_for test -s "$ROOT/port"
    port=$(head -1 "$ROOT/port")
    "$DEVICE" create >/dev/null

    # A copy of the bundle whose feed is at `path` on the loopback server; prints its executable.
    bundle_for() {
      rm -rf "$ROOT/apps" && mkdir -p "$ROOT/apps"
      cp -r "$BUILD/Halomark.app" "$ROOT/apps/"
      python3 -c "import re, sys; path = sys.argv[1]; text = open(path).read()
open(path, \"w\").write(re.sub(r\"<key>SUFeedURL</key>\\s*<string></string>\",
                               \"<key>SUFeedURL</key><string>\" + sys.argv[2].replace(\"&\", \"&amp;\") + \"</string>\", text))" \
        "$ROOT/apps/Halomark.app/Contents/Info.plist" "http://127.0.0.1:$port$1"
      echo "$ROOT/apps/Halomark.app/Contents/MacOS/Halomark"
    }
    notes() { grep -c " Notify " "$ROOT/notifications.log" 2>/dev/null || true; }
    notified() { local count; count=$(notes); [ "${count:-0}" -gt "$1" ]; }
    check() {
      local before started app executable
      executable=$(bundle_for "$1")
      "$executable" 2>/dev/null & app=$!
      wait_for owned app.halomark.Halomark
      sleep 1
      before=$(notes)
      before=${before:-0}
      echo "before the check: $(memory $app VmRSS)"
      started=$(date +%s.%N)
      gdbus call --session --dest app.halomark.Halomark --object-path /app/halomark/Halomark \
        --method org.freedesktop.Application.ActivateAction check-for-updates "[]" "{}" >/dev/null
      for _ in $(seq 1200); do notified "$before" && break; sleep 0.1; done
      echo "answered after $(awk "BEGIN {printf \"%.1f\", $(date +%s.%N) - $started}") s:" \
           "$(grep " Notify " "$ROOT/notifications.log" | tail -1 | cut -d" " -f6- | cut -c1-120)"
      echo "peak memory: $(memory $app VmHWM), now $(memory $app VmRSS)"
      kill $app; wait $app 2>/dev/null || true
    }

    echo "== feed of $MEGABYTES MiB without a declared length"
    check "/huge?megabytes=$MEGABYTES&declared=0"
    echo "== feed of $MEGABYTES MiB with a declared length"
    check "/huge?megabytes=$MEGABYTES&declared=1"
    echo "== a valid feed sent at one byte a second"
    check "/trickle?interval=1"

    echo "== bus calls with oversized arguments"
    executable=$(bundle_for "/feed")
    "$executable" 2>/dev/null & app=$!
    wait_for owned app.halomark.Halomark
    sleep 1
    echo "before: $(memory $app VmRSS)"
    python3 - <<PYTHON
import time, dbus
bus = dbus.SessionBus()
app = bus.get_object("app.halomark.Halomark", "/app/halomark/Halomark")
def timed(label, call):
    started = time.monotonic()
    try:
        call()
        outcome = "answered"
    except dbus.DBusException as error:
        outcome = error.get_dbus_message()[:60]
    print(f"{label}: {time.monotonic() - started:.2f} s, {outcome}")
application = dbus.Interface(app, "org.freedesktop.Application")
light = dbus.Interface(app, "app.halomark.Halomark.LogoLight")
runner = dbus.Interface(bus.get_object("app.halomark.Halomark", "/runner"), "org.kde.krunner1")
big = "x" * (8 * 1024 * 1024)
timed("ActivateAction with 1,000,000 values",
      lambda: application.ActivateAction("status", dbus.Array([dbus.Int32(i) for i in range(1000000)], signature="v"), {}))
timed("ActivateAction with an 8 MB name", lambda: application.ActivateAction(big, dbus.Array([], signature="v"), {}))
timed("SetLogoLight with an 8 MB mode", lambda: light.SetLogoLight(big, 100.0))
timed("Match with an 8 MB query", lambda: runner.Match(big))
timed("Run with an 8 MB id", lambda: runner.Run(big, ""))
PYTHON
    echo "after: $(memory $app VmRSS), peak $(memory $app VmHWM)"
    kill $app; wait $app 2>/dev/null || true
  '
