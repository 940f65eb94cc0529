#!/usr/bin/python3
"""What assistive technology sees of the tray popup's switch, read through AT-SPI the way a screen
reader reads it: waits until the switch is shown, prints its role, description, states and actions,
presses it through its accessible action and prints whether it is still checked."""
import sys
import time

import pyatspi
from gi.repository import GLib

seen = {}


def on_showing(event):
    # Found by its events, as a reader follows what appears.
    source = event.source
    if event.detail1 == 1 and source.name == "Logo light" and source.getRole() == pyatspi.ROLE_CHECK_BOX:
        seen["switch"] = source
        pyatspi.Registry.stop()


pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
print("listening", flush=True)
GLib.timeout_add_seconds(30, pyatspi.Registry.stop)
pyatspi.Registry.start()
switch = seen.get("switch")
if switch is None:
    sys.exit("the switch was never shown")


def checked():
    return switch.getState().contains(pyatspi.STATE_CHECKED)


print("role:", switch.getRoleName())
print("description:", switch.description)
print("checked:", checked())
action = switch.queryAction()
names = [action.getName(i) for i in range(action.nActions)]
print("actions:", ",".join(names), flush=True)
action.doAction(names.index("Press"))
deadline = time.monotonic() + 5
while checked() and time.monotonic() < deadline:
    time.sleep(0.05)
print("checked after press:", checked())
