#!/usr/bin/env python3
"""Measures how evenly the running application's attention signal steps.

Starts the application in a throw-away session (its own HOME, XDG directories and session bus) on
the emulated logo device, starts a signal, and records when the device's state file is replaced,
with inotify, from outside the application. Each step writes the device several times in a quick
burst; the first write of a burst marks the step. The intervals between steps are compared with
the style's step period (a style that skips a step writes after a whole multiple of it).

    bench/attention_step_jitter.py BUILD_DIR [--style double|breathing] [--seconds 30]
"""

import argparse
import ctypes
import os
import select
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time

IN_CLOSE_WRITE = 0x00000008
IN_MOVED_TO = 0x00000080
STEP_PERIODS = {"double": 0.55, "breathing": 1.1}
# Writes closer together than this belong to one step.
BURST_GAP = 0.15


def session_environment(root):
    env = {
        "HOME": os.path.join(root, "home"),
        "XDG_CONFIG_HOME": os.path.join(root, "config"),
        "XDG_DATA_HOME": os.path.join(root, "data"),
        "XDG_CACHE_HOME": os.path.join(root, "cache"),
        "XDG_RUNTIME_DIR": os.path.join(root, "run"),
        "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
        "LANG": "C.UTF-8",
    }
    for key in ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
        os.makedirs(env[key], mode=0o700, exist_ok=True)
    return env


def start_bus(env):
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    return bus


def wait_until(condition, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return False


class DirectoryWatch:
    """Times every file closed after writing or moved into a directory."""

    def __init__(self, directory):
        self.libc = ctypes.CDLL("libc.so.6", use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK)
        if self.fd < 0 or self.libc.inotify_add_watch(
                self.fd, directory.encode(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0:
            raise OSError(ctypes.get_errno(), "inotify")

    def collect(self, seconds, name):
        times = []
        deadline = time.monotonic() + seconds
        while (left := deadline - time.monotonic()) > 0:
            ready, _, _ = select.select([self.fd], [], [], left)
            if not ready:
                continue
            now = time.monotonic()
            data = os.read(self.fd, 65536)
            offset = 0
            while offset < len(data):
                _, mask, _, length = struct.unpack_from("iIII", data, offset)
                entry = data[offset + 16:offset + 16 + length].rstrip(b"\0").decode()
                offset += 16 + length
                if entry == name:
                    times.append(now)
        return times


def step_starts(times):
    starts = []
    for t in times:
        if not starts or t - last > BURST_GAP:
            starts.append(t)
        last = t
    return starts


def report(starts, period):
    intervals = [b - a for a, b in zip(starts, starts[1:])]
    errors = [abs(d - round(d / period) * period) * 1000 for d in intervals]
    if not errors:
        print("no steps recorded")
        return 1
    errors.sort()
    print(f"steps: {len(starts)}, intervals: {len(intervals)}, period: {period * 1000:.0f} ms")
    print(f"jitter median: {statistics.median(errors):.2f} ms")
    print(f"jitter p90:    {errors[int(0.9 * (len(errors) - 1))]:.2f} ms")
    print(f"jitter max:    {errors[-1]:.2f} ms")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir")
    parser.add_argument("--style", choices=sorted(STEP_PERIODS), default="double")
    parser.add_argument("--seconds", type=float, default=30)
    args = parser.parse_args()

    build = os.path.abspath(args.build_dir)
    halomark = os.path.join(build, "halomark")
    app_executable = os.path.join(build, "Halomark.app", "Contents", "MacOS", "Halomark")
    device_tool = os.path.join(build, "tools", "halomark-device")

    root = tempfile.mkdtemp(prefix="halomark-jitter-")
    env = session_environment(root)
    bus = start_bus(env)
    app = None
    try:
        subprocess.run([device_tool, "create"], env=env, check=True, stdout=subprocess.DEVNULL)
        state_dir = os.path.join(env["XDG_RUNTIME_DIR"], "halomark")
        state_name = "logo-device.json"
        app = subprocess.Popen([app_executable], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        running = wait_until(lambda: subprocess.run(
            [halomark, "status"], env=env, capture_output=True).stdout.endswith(b"app: running\n"), 10)
        if not running:
            print("the application did not start", file=sys.stderr)
            return 1
        # The bus name is taken before the application listens; give it the time the tool gives it.
        time.sleep(1.5)

        watch = DirectoryWatch(state_dir)
        subprocess.run([halomark, "signal", "--style", args.style], env=env, check=True)
        times = watch.collect(args.seconds, state_name)
        subprocess.run([halomark, "signal", "stop"], env=env, check=True)
        return report(step_starts(times), STEP_PERIODS[args.style])
    finally:
        if app:
            app.send_signal(signal.SIGTERM)
            app.wait(10)
        bus.terminate()
        bus.wait()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
