#!/usr/bin/python3
"""A screen reader's walk of the tray application through AT-SPI. With --item it prints the name of
the status item's window once it shows and stops there. Otherwise it waits for the popup under the
application, prints every named node of it as "role | name | description | focusable", presses the
logo switch, chooses a battery level in the rules submenu, opens the settings window through its
menu item and prints that window's nodes the same way."""
import sys
import time

import pyatspi


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.lower() == "halomark":
            return app
    return None


def nodes(root, depth=0):
    if root is None or depth > 12:
        return
    yield root
    for index in range(root.childCount):
        yield from nodes(root.getChildAtIndex(index), depth + 1)


def named(root, name, role=None):
    for node in nodes(root):
        if node.name == name and (role is None or node.getRoleName() == role):
            return node
    return None


def window_with(name, wanted):
    """The application's top-level child that holds a node named `name`, waited for."""
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        app = application()
        if app is not None:
            for index in range(app.childCount):
                window = app.getChildAtIndex(index)
                if window is not None and wanted(window) and named(window, name) is not None:
                    return window
        time.sleep(0.2)
    return None


def show(title, root):
    print(f"== {title}: {root.getRoleName()} | {root.name}")
    for node in nodes(root):
        if node.name:
            focusable = node.getState().contains(pyatspi.STATE_FOCUSABLE)
            print(f"{node.getRoleName()} | {node.name} | {node.description} | {focusable}")
    sys.stdout.flush()


def act(node, *names):
    action = node.queryAction()
    available = [action.getName(i) for i in range(action.nActions)]
    for wanted in names:
        if wanted in available:
            action.doAction(available.index(wanted))
            return wanted
    sys.exit(f"{node.name} offers {available}, none of {names}")


print("listening", flush=True)
if sys.argv[1:] == ["--item"]:
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        app = application()
        names = [child.name for child in app if child is not None] if app is not None else []
        items = [name for name in names if name.startswith("Halomark, ")]
        if items:
            print("item:", items[0])
            sys.exit(0)
        time.sleep(0.2)
    app = application()
    print("children:", [(c.getRoleName(), c.name) for c in app] if app is not None else None)
    sys.exit("no status item named for a screen reader")

popup = window_with("Logo light", lambda window: window.getState().contains(pyatspi.STATE_SHOWING))
if popup is None:
    sys.exit("the popup never showed under the application")
show("popup", popup)

slider = named(popup, "Fixed brightness", "slider").queryValue()
print(f"slider value: {slider.currentValue:g} in {slider.minimumValue:g}-{slider.maximumValue:g}", flush=True)

switch = named(popup, "Logo light", "check box")
act(switch, "Press")
deadline = time.monotonic() + 5
while switch.getState().contains(pyatspi.STATE_CHECKED) and time.monotonic() < deadline:
    time.sleep(0.05)
print("switch checked after press:", switch.getState().contains(pyatspi.STATE_CHECKED))

level = named(popup, "At 20% or Below")
if level is None:
    sys.exit("no battery level in the popup")
print("battery level role:", level.getRoleName())
print("battery level pressed:", act(level, "Press", "Toggle", "Click"), flush=True)

settings = named(popup, "Settings…")
act(settings, "Press", "Click")
window = window_with("Uninstall…", lambda window: window.getRoleName() != "menu")
if window is None:
    sys.exit("the settings window never showed")
show("settings", window)
