"""The Larkspur window's AT-SPI tree: the names and roles a screen reader reads, Enter on a
picture button, and the status line announcing a new text. Run inside the window's session;
prints "N passed, 0 failed" or the failures, exit status 1 on any."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []
checks = 0


def check(ok, what):
    global checks
    checks += 1
    if not ok:
        failures.append(what)
    return ok


def find_application(seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "larkspur":
                for window in app:
                    if window is not None and window.name == "Larkspur":
                        return app, window
        time.sleep(0.3)
    sys.exit("no Larkspur window on the accessibility bus")


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def controls(window):
    return [(node.getRoleName(), node.name, node) for node in walk(window)]


app, window = find_application()
seen = controls(window)
by_name = {}
for role, name, node in seen:
    by_name.setdefault(name, []).append((role, node))

# Every tick box says its browser; no two read the same.
boxes = [name for role, name, _ in seen if role == "check box"]
check(len(boxes) == len(set(boxes)), f"tick boxes with the same name: {sorted(boxes)}")
for name in ("Firefox: Clear Cookies", "Internet Explorer: Clear Cookies",
             "Firefox: Clear Form History", "Internet Explorer: Clear History"):
    check(name in boxes, f"no tick box named {name!r}: {sorted(boxes)}")
check(all(": " in name for name in boxes), f"a tick box without its browser: {boxes}")

# The picture buttons are push buttons; nothing of them is a check box.
for name in ("Turn On Auto Delete", "Delete Now", "View Save Log"):
    roles = [role for role, _ in by_name.get(name, [])]
    check(roles == ["push button"], f"{name!r} is {roles}, not one push button")

# The list, the bar and the status line have names; the focus holder is no control.
check(any(role == "list" for role, _ in by_name.get(
    "How often would you like to delete history?", [])), "the list has no name")
check(any(role == "progress bar" and name for role, name, _ in seen), "the bar has no name")
status = [node for role, name, node in seen
          if role == "label" and name.startswith("Demo:")]
check(len(status) == 1, "the status line is not a label named by its text")
check("Command1" not in by_name, "the focus holder is announced as 'Command1'")
check(not [n for r, n, _ in seen if r == "push button" and n not in
           ("Turn On Auto Delete", "Delete Now", "View Save Log")],
      f"more push buttons: {[n for r, n, _ in seen if r == 'push button']}")

# Enter on the focused "Delete Now" runs it; the status line announces each new text.
announced = []


def on_name(event):
    if event.source is not None and event.source.getRoleName() == "label":
        announced.append(event.source.name)


pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
loop = GLib.MainLoop()


def press_enter():
    delete_now = by_name["Delete Now"][0][1]
    delete_now.queryComponent().grabFocus()
    time.sleep(0.3)
    check(delete_now.getState().contains(pyatspi.STATE_FOCUSED), "Delete Now took no focus")
    subprocess.run(["xdotool", "key", "Return"], check=False)
    return False


GLib.timeout_add(300, press_enter)
GLib.timeout_add(4000, loop.quit)
loop.run()
pyatspi.Registry.deregisterEventListener(on_name, "object:property-change:accessible-name")
check(any(text.startswith(("Erased", "Nothing")) for text in announced),
      f"no summary announced after Enter on Delete Now: {announced}")

if failures:
    print("\n".join("FAIL: " + failure for failure in failures))
    print(f"{checks - len(failures)} passed, {len(failures)} failed")
    sys.exit(1)
print(f"{checks} passed, 0 failed")
