#!/usr/bin/env python3
"""Measures `halomark status --follow` in the session bus it is started in (follow_measurements.sh
starts it in a throw-away one): how long after each change the follower prints it, with and
without the application, the follower's wake-ups while nothing changes, and how many
PropertiesChanged signals the idle application sends (its watchdog checks every 30 s).

Usage: follow_measurements.py BUILD_DIR IDLE_SECONDS SCRATCH_DIR
"""
import glob
import json
import os
import shutil
import statistics
import subprocess
import sys
import threading
import time

CHANGES = 20


def switches(pid):
    """Context switches of every thread of `pid`: each one is a wake-up."""
    total = 0
    for status in glob.glob(f"/proc/{pid}/task/*/status"):
        with open(status) as lines:
            for line in lines:
                if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                    total += int(line.split()[1])
    return total


class Follower:
    """The follower with each line it prints and the moment it arrived."""

    def __init__(self, tool):
        self.process = subprocess.Popen([tool, "status", "--follow", "--json"], stdout=subprocess.PIPE, text=True)
        self.lines = []
        self.changed = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            with self.changed:
                self.lines.append((time.monotonic(), json.loads(line)))
                self.changed.notify_all()

    def wait_for(self, condition, after=0.0, timeout=10.0):
        """The arrival time of the first line after `after` that satisfies `condition`."""
        deadline = time.monotonic() + timeout
        with self.changed:
            while True:
                for arrived, state in self.lines:
                    if arrived >= after and condition(state):
                        return arrived
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError("the follower did not print the change")
                self.changed.wait(left)


def first_change(path, since_ns, started, timeout=5.0):
    """When the file at `path` was first written after `since_ns`, polled every half millisecond."""
    deadline = started + timeout
    while time.monotonic() < deadline:
        try:
            if os.stat(path).st_mtime_ns != since_ns:
                return time.monotonic()
        except FileNotFoundError:
            pass
        time.sleep(0.0005)
    raise TimeoutError(f"{path} was not written")


def latencies(follower, tool, watched, nits_key):
    """Per change: the moment `watched` was written, then the moment the follower printed it."""
    figures = []
    for i in range(CHANGES):
        nits = 100 + 10 * i
        before = os.stat(watched).st_mtime_ns if os.path.exists(watched) else 0
        started = time.monotonic()
        # The command may go on after the change (it waits for the application's answer): the file
        # is watched while it runs.
        command = subprocess.Popen([tool, "set", str(nits)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        written = first_change(watched, before, started)
        shown = follower.wait_for(lambda state: nits_key(state) == float(nits), after=started)
        command.wait()
        figures.append((written - started, shown - written))
        time.sleep(0.2)
    return figures


def report(title, figures):
    write = [w * 1000 for w, _ in figures]
    shown = [s * 1000 for _, s in figures]
    print(f"{title}: write -> line median {statistics.median(shown):.1f} ms, max {max(shown):.1f} ms "
          f"({len(shown)} changes; request -> write median {statistics.median(write):.1f} ms)")


def idle(follower, seconds, label):
    time.sleep(2)
    before = switches(follower.process.pid)
    lines = len(follower.lines)
    time.sleep(seconds)
    woke = switches(follower.process.pid) - before
    print(f"{label}: follower context switches in {seconds:g} s idle: {woke}; lines printed: {len(follower.lines) - lines}")


def main():
    build, seconds, scratch = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    link = os.path.join(build, "halomark")
    app = os.path.join(build, "Halomark.app/Contents/MacOS/Halomark")
    device = os.path.join(build, "tools/halomark-device")
    # A copy outside the bundle changes the setting without starting the application.
    loose = os.path.join(scratch, "halomark")
    shutil.copy(app, loose)
    subprocess.run([device, "create"], check=True, stdout=subprocess.DEVNULL)
    device_file = next(iter(glob.glob(os.path.join(scratch, "**/logo-device.json"), recursive=True)), None)
    prefs_file = os.path.join(os.environ["XDG_CONFIG_HOME"], "halomark/app.halomark.Halomark.json")
    if device_file is None:
        sys.exit("the emulated device's file was not found")

    follower = Follower(link)
    follower.wait_for(lambda state: True)
    print("== without the application (the preference folder)")
    report("setting change", latencies(follower, loose, prefs_file, lambda state: state["setting"]["nits"]))
    idle(follower, seconds, "no application")

    print("== with the application (its bus properties)")
    application = subprocess.Popen([app], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        follower.wait_for(lambda state: state["app"]["running"], timeout=20)
        time.sleep(1)
        report("apply (device written) -> line",
               latencies(follower, link, device_file, lambda state: state["logo"]["nits"]))
        monitor = subprocess.Popen(
            ["dbus-monitor", "--session",
             "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged'"],
            stdout=subprocess.PIPE, text=True)
        idle(follower, seconds, "application running")
        monitor.terminate()
        announced = sum(1 for line in monitor.communicate()[0].splitlines() if "member=PropertiesChanged" in line)
        print(f"application running: PropertiesChanged signals in {seconds:g} s idle: {announced}")
    finally:
        application.terminate()
        application.wait()
        follower.process.terminate()
        follower.process.wait()


if __name__ == "__main__":
    main()
