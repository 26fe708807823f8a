"""The window's AT-SPI tree: names, roles, Enter on a picture button, a new status announced."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []


check = lambda ok, what: ok or failures.append(what)  # noqa: E731


def find_window():
    for _ in range(60):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "larkspur" and app[0] is not None:
                return app[0]
        time.sleep(0.3)
    sys.exit("no Larkspur window on the accessibility bus")


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


seen = [(node.getRoleName(), node.name, node) for node in walk(find_window())]
named = lambda role: [name for r, name, _ in seen if r == role]  # noqa: E731

boxes = named("check box")
check({"Firefox: Clear Cookies", "Internet Explorer: Clear Cookies", "Chrome: Clear Cookies",
       "Edge: Clear Cookies"} <= set(boxes),
      f"tick boxes without their browser: {sorted(boxes)}")
# The picture buttons are push buttons, and the off-screen focus holder is none.
check(sorted(named("push button")) == ["Delete Now", "Turn On Auto Delete", "View Save Log"],
      f"push buttons: {named('push button')}")
check(not [n for _, n, _ in seen if n == "Command1"], "the focus holder is announced")
check(named("list") == ["How often would you like to delete history?"], f"list: {named('list')}")
check(named("progress bar") == ["Progress"], f"progress bar: {named('progress bar')}")
check([n for n in named("label") if n.startswith("Demo:")], f"status line: {named('label')}")

# Enter on the focused "Delete Now" runs it; the status line announces its summary.
announced = []
pyatspi.Registry.registerEventListener(
    lambda event: announced.append(event.source.name)
    if event.source.getRoleName() == "label" else None,
    "object:property-change:accessible-name")


def press_enter():
    delete_now = next(node for role, name, node in seen if name == "Delete Now")
    delete_now.queryComponent().grabFocus()
    time.sleep(0.3)
    subprocess.run(["xdotool", "key", "Return"], check=False)


loop = GLib.MainLoop()
GLib.timeout_add(300, press_enter)
GLib.timeout_add(4000, loop.quit)
loop.run()
check([t for t in announced if t.startswith(("Erased", "Nothing", "No item"))],
      f"no summary announced after Enter on Delete Now: {announced}")

print("\n".join("FAIL: " + failure for failure in failures) or "ok")
sys.exit(1 if failures else 0)
