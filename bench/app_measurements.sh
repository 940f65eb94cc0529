#!/bin/bash
# Measures the running application in a throw-away session: the latency from a preferences-changed
# notification to the tables on the emulated logo device; per change, how many locked writes of the
# device's state and how many snapshots of the machine (each lists /sys/class/power_supply once) it
# takes; the application's idle wake-ups per minute, and its resident memory when headless.
#
#   bench/app_measurements.sh [BUILD_DIR] [IDLE_SECONDS]
#
# BUILD_DIR defaults to ./build (built with the apply_latency target); IDLE_SECONDS to 60.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
idle=${2:-60}
app="$build/Halomark.app/Contents/MacOS/Halomark"
device="$build/tools/halomark-device"
latency="$build/bench/apply_latency"
source "$(dirname "$0")/throwaway_session.sh"
require "$app" "$device" "$latency"

"${isolated[@]}" APP="$app" DEVICE="$device" LATENCY="$latency" IDLE="$idle" \
  dbus-run-session -- bash -euo pipefail -c '
    # Context switches of every thread of the process: each one is a wake-up.
    switches() {
      local total=0 n
      for status in /proc/$1/task/*/status; do
        n=$(awk "/^(voluntary|nonvoluntary)_ctxt_switches/ {s += \$2} END {print s}" "$status")
        total=$((total + n))
      done
      echo "$total"
    }

    "$DEVICE" create --multiplier 2 >/dev/null
    "$APP" & app=$!
    trap "kill $app 2>/dev/null; wait $app 2>/dev/null || true" EXIT
    for _ in $(seq 100); do
      gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner app.halomark.Halomark | grep -q true && break
      sleep 0.05
    done

    echo "== latency"
    "$LATENCY"

    if command -v strace >/dev/null; then
      echo "== device writes and machine snapshots per change (20 changes, under strace)"
      trace=$(mktemp)
      strace -f -y -e trace=flock,openat -p $app -o "$trace" & tracer=$!
      sleep 1
      "$LATENCY" 20 >/dev/null
      sleep 1
      kill $tracer; wait $tracer 2>/dev/null || true
      locks=$(grep -c "logo-device.json.lock>, LOCK_EX" "$trace" || true)
      snapshots=$(grep -c "class/power_supply\", O_RDONLY" "$trace" || true)
      echo "locked device writes: $locks for 20 changes; machine snapshots: $snapshots for 20 changes"
      rm -f "$trace"
    fi

    echo "== idle wake-ups over ${IDLE} s (the watchdog runs every 30 s)"
    sleep 2
    before=$(switches $app)
    sleep "$IDLE"
    after=$(switches $app)
    echo "context switches, all threads: $((after - before)) in ${IDLE} s" \
         "($(( (after - before) * 60 / IDLE )) per minute)"
    if command -v strace >/dev/null; then
      timeout "$IDLE" strace -f -c -e trace=%process,poll,ppoll,epoll_wait,read,write,recvmsg,sendmsg,openat \
        -p $app -o /dev/stdout 2>/dev/null | sed -n "1,30p" || true
    fi

    echo "== memory"
    grep -E "^(VmRSS|VmHWM)" /proc/$app/status
  '
