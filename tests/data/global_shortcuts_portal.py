#!/usr/bin/python3
"""A desktop portal that offers global shortcuts, as far as an application can tell: it answers
CreateSession and BindShortcuts through Request objects the way the portal does, records the
shortcuts bound, and presses one on request:

    gdbus call --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop \
        -m org.freedesktop.portal.Test.Press toggle-logo

Bound shortcuts are printed as JSON lines on standard output.
"""
import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"


def sender_part(sender):
    return sender[1:].replace(".", "_")


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass


class Session(dbus.service.Object):
    def __init__(self, bus, path, portal):
        super().__init__(bus, path)
        self.portal = portal

    @dbus.service.method("org.freedesktop.portal.Session")
    def Close(self):
        self.portal.sessions.discard(self.__dbus_object_path__)
        print(json.dumps({"closed": str(self.__dbus_object_path__)}), flush=True)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, PATH)
        self.bus = bus
        self.sessions = set()

    def respond(self, sender, token, results):
        request = Request(self.bus, f"{PATH}/request/{sender_part(sender)}/{token}")
        # The answer comes after the call has returned, as from the real portal.
        GLib.timeout_add(10, lambda: request.Response(dbus.UInt32(0), results) and False)
        return request.__dbus_object_path__

    @dbus.service.method("org.freedesktop.host.portal.Registry", in_signature="sa{sv}")
    def Register(self, app_id, options):
        pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == SHORTCUTS and name == "version":
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.UnknownProperty")

    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender):
        session = f"{PATH}/session/{sender_part(sender)}/{options['session_handle_token']}"
        Session(self.bus, session, self)
        self.sessions.add(session)
        return self.respond(sender, options["handle_token"], {"session_handle": dbus.String(session)})

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o", sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent_window, options, sender):
        bound = [{"id": str(id), **{str(k): str(v) for k, v in properties.items()}} for id, properties in shortcuts]
        print(json.dumps({"bound": bound, "session": str(session)}), flush=True)
        return self.respond(sender, options["handle_token"], {"shortcuts": shortcuts})

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session, shortcut_id, timestamp, options):
        pass

    @dbus.service.method("org.freedesktop.portal.Test", in_signature="s")
    def Press(self, shortcut_id):
        for session in self.sessions:
            self.Activated(session, shortcut_id, dbus.UInt64(0), {})


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
portal = Portal(bus)
name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
loop = GLib.MainLoop()
GLib.timeout_add_seconds(int(sys.argv[1]) if len(sys.argv) > 1 else 120, loop.quit)
loop.run()
