#!/usr/bin/python3
"""The tray application's response times as a user meets them, on an X display with a tray host:
click on the status item -> popup mapped, and slider movement paused -> emulated device written.

Run by bench/tray_measurements.sh, which provides the throw-away session, the display, the tray
and the accessibility bus; this script starts and stops the application itself:

    tray_latency.py APP DEVICE_STATE_FILE [RUNS] [IDLE_SECONDS]

It ends with the idle application's wake-ups (context switches of all its threads) over
IDLE_SECONDS and its resident memory.

The slider's place inside the popup is read once through AT-SPI from an application started with
accessibility on; the measured runs use an application started without it, as most users run it.
"""
import os
import signal
import statistics
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib
from Xlib import X, XK, display
from Xlib.ext import xtest

app_path, device_file = sys.argv[1], sys.argv[2]
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 30
idle = int(sys.argv[4]) if len(sys.argv) > 4 else 30
x = display.Display()
root = x.screen().root


def now():
    return time.perf_counter()


def halomark_windows(window):
    try:
        wm_class = window.get_wm_class()
    except Exception:
        wm_class = None
    if wm_class and "Halomark" in wm_class:
        yield window
    for child in window.query_tree().children:
        yield from halomark_windows(child)


def status_item():
    """The centre of the docked status item (a small Halomark window inside the tray), or None."""
    for window in halomark_windows(root):
        g = window.get_geometry()
        if 0 < g.width <= 32 and g.height <= 32:
            origin = window.translate_coords(root, 0, 0)
            # translate_coords answers root's position relative to the window: negate it.
            return -origin.x + g.width // 2, -origin.y + g.height // 2
    return None


def wait_for(condition, seconds):
    deadline = now() + seconds
    while now() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(0.02)
    return None


def start_app(accessible):
    environment = dict(os.environ)
    if accessible:
        environment["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    else:
        environment.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
    app = subprocess.Popen([app_path], env=environment)
    if not wait_for(status_item, 15):
        sys.exit("the status item did not appear in the tray")
    time.sleep(1)  # let the item settle in the tray
    return app


def stop_app(app):
    app.send_signal(signal.SIGTERM)
    app.wait(10)


def click(point, button=1):
    xtest.fake_input(x, X.MotionNotify, x=point[0], y=point[1])
    xtest.fake_input(x, X.ButtonPress, button)
    xtest.fake_input(x, X.ButtonRelease, button)
    x.sync()


def key(name):
    code = x.keysym_to_keycode(XK.string_to_keysym(name))
    xtest.fake_input(x, X.KeyPress, code)
    xtest.fake_input(x, X.KeyRelease, code)
    x.sync()


def next_event(kind, seconds=5):
    """The next event of `kind` on the root's substructure, or None after `seconds`."""
    deadline = now() + seconds
    while now() < deadline:
        while x.pending_events():
            event = x.next_event()
            if event.type == kind:
                return event
        time.sleep(0.0005)
    return None


def open_popup(item):
    """Clicks the item and returns (popup window, seconds from the press until it was mapped)."""
    while x.pending_events():
        x.next_event()
    started = now()
    click(item)
    while True:
        event = next_event(X.MapNotify)
        if event is None:
            sys.exit("no popup appeared after a click on the status item")
        g = event.window.get_geometry()
        if g.height > 100:
            return event.window, now() - started


def close_popup():
    key("Escape")
    next_event(X.UnmapNotify)


def slider_offset():
    """Where the brightness slider's centre sits inside the popup, read through AT-SPI."""
    app = start_app(accessible=True)
    found = {}

    def on_showing(event):
        if event.detail1 == 1 and event.source.name == "Fixed brightness":
            extents = event.source.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            found["slider"] = (extents.x + extents.width // 2, extents.y + extents.height // 2)
            pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    GLib.timeout_add(300, lambda: click(status_item()) and False)
    GLib.timeout_add_seconds(15, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(on_showing, "object:state-changed:showing")
    if "slider" not in found:
        sys.exit("AT-SPI did not show the popup's slider")
    popup = None
    for window in halomark_windows(root):
        if window.get_attributes().map_state == X.IsViewable and window.get_geometry().height > 100:
            popup = window.get_geometry()
    close_popup()
    stop_app(app)
    return found["slider"][0] - popup.x, found["slider"][1] - popup.y


def device_stamp():
    status = os.stat(device_file)
    return status.st_ino, status.st_mtime_ns


def wait_for_write(before, seconds=2):
    deadline = now() + seconds
    while now() < deadline:
        if device_stamp() != before:
            return now()
        time.sleep(0.0002)
    return None


def report(name, seconds, goal_ms):
    ms = sorted(s * 1000 for s in seconds)
    print(f"{name}: median {statistics.median(ms):.1f} ms, p90 {ms[int(len(ms) * 0.9) - 1]:.1f} ms, "
          f"min {ms[0]:.1f} ms, max {ms[-1]:.1f} ms over {len(ms)} runs (goal: median <= {goal_ms} ms)")


offset = slider_offset()
root.change_attributes(event_mask=X.SubstructureNotifyMask)
app = start_app(accessible=False)
item = status_item()

opened = []
for _ in range(runs):
    _, seconds = open_popup(item)
    opened.append(seconds)
    close_popup()
    # Apart by more than the double-click interval, as separate clicks of a user are.
    time.sleep(0.6)
report("click -> popup mapped", opened, 50)

# A short movement: three wheel notches 20 ms apart over the slider, then the pause.
popup, _ = open_popup(item)
g = popup.get_geometry()
slider = (g.x + offset[0], g.y + offset[1])
xtest.fake_input(x, X.MotionNotify, x=slider[0], y=slider[1])
x.sync()
after_pause = []
early_writes = 0
for run in range(runs):
    button = 4 if run % 2 == 0 else 5
    before = device_stamp()
    for notch in range(3):
        if notch:
            time.sleep(0.02)
        xtest.fake_input(x, X.ButtonPress, button)
        xtest.fake_input(x, X.ButtonRelease, button)
        x.sync()
        paused = now()
        if notch < 2 and device_stamp() != before:
            early_writes += 1
    written = wait_for_write(before)
    if written is None:
        sys.exit("the slider's movement never reached the device")
    after_pause.append(written - paused)
    time.sleep(0.15)
report("slider paused -> device written", after_pause, 60)
print(f"device writes while the slider still moved: {early_writes}")
close_popup()


def context_switches(pid):
    """Context switches of each live thread of `pid`, by thread id."""
    counts = {}
    for thread in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{thread}/status") as status:
            counts[thread] = sum(int(line.split()[1]) for line in status
                                 if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")))
    return counts


# Past what the last change set going (the apply, the preference watch settling).
time.sleep(5)
before = context_switches(app.pid)
time.sleep(idle)
after = context_switches(app.pid)
# A pooled thread that ends while idle takes its count along; one that starts counts in full.
woken = sum(count - before.get(thread, 0) for thread, count in after.items())
ended = len(set(before) - set(after))
with open(f"/proc/{app.pid}/status") as status:
    memory = [line.split(None, 1)[1].strip() for line in status if line.startswith(("VmRSS", "VmHWM"))]
print(f"idle with the tray: {woken} wake-ups in {idle} s ({ended} idle threads ended); resident {memory[1]} (peak {memory[0]})")
stop_app(app)
