#!/usr/bin/env python3
"""A StatusNotifierWatcher on the session bus with a host registered, as a desktop's panel
offers it, driving the program's item: Activate shows the hidden window, the exported menu
lists its captions, and its "Exit" ends the program.

Usage: sni_watcher.py OUT ERR PROGRAM [ARGUMENT...]: starts the program, its output going to
the files OUT and ERR, once the watcher is on the bus. Prints "ok" or the first failure, and
exits non-zero on one.
"""
import subprocess
import sys
import time

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"
PROPS = "org.freedesktop.DBus.Properties"

# Qt reads the watcher's properties through introspection, so they must be declared.
INTROSPECTION = """<node><interface name="org.kde.StatusNotifierWatcher">
 <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
 <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
 <property name="ProtocolVersion" type="i" access="read"/>
</interface></node>"""


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []  # the services of the registered items

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierItem(self, service):
        self.items.append(service)

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(PROPS, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return {"IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0)}[name]


def visible_window():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Larkspur$"],
                           capture_output=True, text=True)
    return found.stdout.split()


def withdrawn(window):
    """True once the program has hidden the window itself: the window manager's iconic state
    comes first, and an Activate before the program sees it would race the hide that follows."""
    state = subprocess.run(["xprop", "-id", window, "WM_STATE"], capture_output=True, text=True)
    return "Iconic" not in state.stdout


def wait(condition, seconds):
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        if condition():
            return True
        time.sleep(0.1)
    return False


# Waits are ceilings, generous for a loaded machine; they pass as soon as the condition holds.
# Calls without blocking: the program may be calling the watcher at the same moment, and a
# blocked watcher would leave both waiting.
def call(method, *args):
    answer = {}
    method(*args, reply_handler=lambda *reply: answer.setdefault("reply", reply),
           error_handler=lambda error: answer.setdefault("error", error))
    if not wait(lambda: answer, 60):
        fail("no answer from %s" % method)
    if "error" in answer:
        fail("%s: %s" % (method, answer["error"]))
    reply = answer["reply"]
    return reply[0] if len(reply) == 1 else reply


def fail(message):
    print(message)
    sys.exit(1)


def main():
    out, err = sys.argv[1], sys.argv[2]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus)
    name = dbus.service.BusName(WATCHER, bus)  # noqa: F841 (held while the test runs)
    with open(out, "w") as stdout, open(err, "w") as stderr:
        program = subprocess.Popen(sys.argv[3:], stdout=stdout, stderr=stderr)
    try:
        drive(bus, watcher, program)
    finally:
        if program.poll() is None:
            program.terminate()
            program.wait(10)


def drive(bus, watcher, program):
    if not wait(lambda: watcher.items, 60):
        fail("no StatusNotifierItem registered")
    service = watcher.items[0]
    item = bus.get_object(service, "/StatusNotifierItem", introspect=False)
    props = dbus.Interface(item, PROPS)
    tip = call(props.Get, ITEM, "ToolTip")
    if str(tip[2]) != "Larkspur":
        fail("tooltip: %r" % (tip,))

    if not wait(visible_window, 60):
        fail("the window never showed")
    window = visible_window()[0]
    subprocess.run(["xdotool", "windowminimize", window], check=True)
    if not wait(lambda: not visible_window() and withdrawn(window), 60):
        fail("minimised, the window stayed on screen")
    call(dbus.Interface(item, ITEM).Activate, dbus.Int32(0), dbus.Int32(0))
    if not wait(visible_window, 60):
        fail("Activate did not show the window")

    menu_path = call(props.Get, ITEM, "Menu")
    menu = dbus.Interface(bus.get_object(service, menu_path, introspect=False), MENU)
    _, layout = call(menu.GetLayout, 0, -1, dbus.Array([], signature="s"))
    entries = {str(child[1].get("label", "")): int(child[0]) for child in layout[2]}
    toggles = {str(child[1].get("label", "")): str(child[1].get("toggle-type", ""))
               for child in layout[2]}
    captions = [label for label in entries if label]
    if captions != ["Show Larkspur", "Delete Now", "Start at sign-in", "Exit"]:
        fail("menu: %r" % (captions,))
    if toggles["Start at sign-in"] != "checkmark":
        fail("Start at sign-in is no tick entry: %r" % (toggles,))
    call(menu.Event, entries["Exit"], "clicked", dbus.String("", variant_level=1), dbus.UInt32(0))

    if not wait(lambda: program.poll() is not None, 60):
        fail("Exit did not end the program")
    if program.returncode != 0:
        fail("the program ended with %d" % program.returncode)
    print("ok")


main()
