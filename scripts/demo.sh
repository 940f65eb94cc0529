#!/usr/bin/env bash
# Shows Halomark working on the emulated logo device, in a throw-away home and session bus, so
# nothing of the machine's real user is read or changed. Usage: scripts/demo.sh [build directory]
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
halomark="$build/halomark"
app="$build/Halomark.app/Contents/MacOS/Halomark"
device="$build/tools/halomark-device"

if [[ "${HALOMARK_DEMO_INSIDE:-}" != 1 ]]; then
  sandbox=$(mktemp -d)
  # Ends whatever the demo started (the application runs detached from the tool).
  cleanup() {
    for process in /proc/[0-9]*; do
      if grep -qzx "XDG_RUNTIME_DIR=$sandbox/run" "$process/environ" 2>/dev/null; then
        kill "${process#/proc/}" 2>/dev/null || true
      fi
    done
    sleep 0.5
    rm -rf "$sandbox"
  }
  trap cleanup EXIT
  mkdir -p "$sandbox"/{home,config,data,cache,run}
  chmod 700 "$sandbox/run"
  env -i PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 HOME="$sandbox/home" \
    XDG_CONFIG_HOME="$sandbox/config" XDG_DATA_HOME="$sandbox/data" XDG_CACHE_HOME="$sandbox/cache" \
    XDG_RUNTIME_DIR="$sandbox/run" HALOMARK_DEMO_INSIDE=1 \
    dbus-run-session -- bash "$0" "$build"
  exit
fi

step() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

step "Create the emulated logo device"
"$device" create
# One line of the device's live state: the logo's brightness and its mode.
"$device" watch --interval 0.1 --duration 0.1

step "halomark set 80: the tool stores a fixed brightness and starts the application"
"$halomark" set 80
cat "$XDG_CONFIG_HOME/halomark/app.halomark.Halomark.json"

step "halomark off, then halomark toggle"
"$halomark" off
grep '"setting"' "$XDG_CONFIG_HOME/halomark/app.halomark.Halomark.json"
"$halomark" toggle
grep '"setting"' "$XDG_CONFIG_HOME/halomark/app.halomark.Halomark.json"

step "A halomark: URL, as a desktop opens it, makes the logo pulse; a second one stops it"
"$halomark" 'halomark://signal?message=Hi'
"$device" watch --interval 0.1 --duration 2.5
"$halomark" 'halomark://signal/stop'
"$device" watch --interval 0.1 --duration 0.1

step "Quit the application (SIGTERM): the logo goes back to the platform's behaviour"
pid=$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
  --method org.freedesktop.DBus.GetConnectionUnixProcessID app.halomark.Halomark | sed -E 's/.*uint32 ([0-9]+).*/\1/')
kill "$pid"
while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
"$device" watch --interval 0.1 --duration 0.1

step "The application checks the device at start: no complaint means the logo can be controlled"
timeout --preserve-status 2 "$app" && echo "(compatible; the application quit cleanly)"

step "A device whose logo mode misbehaves is refused"
"$device" break-mode
timeout --preserve-status 2 "$app" || true

step "Without a device"
"$device" remove
timeout --preserve-status 2 "$app" || true

step "halomark version"
"$halomark" version
