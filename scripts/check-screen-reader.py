#!/usr/bin/python3
"""What a screen reader meets, through the real AT-SPI bus (what Orca reads), and what a
keyboard-only user meets, through xdotool. Run by scripts/check-screen-reader.sh, which starts
the display, the window manager, the session bus, the accessibility bus and the demo."""
import subprocess
import sys
import time

import pyatspi

APP = "Corvane ESC Programmer"
SAMPLE = sys.argv[1]
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def wait(predicate, seconds, what):
    end = time.time() + seconds
    while time.time() < end:
        try:
            if predicate():
                return True
        except Exception:  # the tree changes under us: ask again
            pass
        time.sleep(0.1)
    check(False, "in time: " + what)
    return False


def find_app():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == APP:
            return app
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def states(node):
    return node.getState()


def showing(node):
    return states(node).contains(pyatspi.STATE_SHOWING)


def face():
    return [w for w in find_app() if w is not None and w.name == APP][0]


def named(role, name, shown=True):
    """The one object of that role and name; with shown, the one on screen."""
    found = [n for n in walk(find_app()) if n.getRoleName() == role and n.name == name
             and (not shown or showing(n))]
    return found[0] if found else None


def lines():
    status = named("list", "Status")
    return [item.name for item in status]


def press(node):
    """Press through the Action interface; the answer must come at once."""
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    start = time.time()
    action.doAction(names.index("Press"))
    return time.time() - start


def focused():
    for node in walk(face()):
        if states(node).contains(pyatspi.STATE_FOCUSED):
            return node
    return None


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True)


def page_shown():
    tabs = [n for n in walk(face()) if n.getRoleName() == "page tab" and showing(n)
            and states(n).contains(pyatspi.STATE_SELECTED)]
    return tabs[0].name if tabs else None


def count(line):
    return lines().count(line)


wait(lambda: find_app() is not None, 20, "the demo on the accessibility bus")
wait(lambda: "Getting Parameters... Completed." in lines(), 20, "the ESC's settings read")
# The keys go to the active window: a window manager may not have made it so yet.
subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", APP,
                "windowactivate", "--sync"], check=False, timeout=10)
wait(lambda: states(face()).contains(pyatspi.STATE_ACTIVE), 5, "the window active")
time.sleep(0.5)
check(focused() is None or focused().getRoleName() == "dialog",
      "at start-up the face has the keys, no control: %r" % (focused() and focused().name))


def section(run):
    """A section that breaks is a failure; the next one still runs."""
    try:
        run()
    except Exception as error:  # noqa: BLE001 - whatever broke, say it and go on
        check(False, "%s: %r" % (run.__doc__, error))


# ---- what a screen reader hears --------------------------------------------------------
def hears():
    """what a screen reader hears"""
    global drag, slider
    nameless = [n.getRoleName() for n in walk(face()) if not n.name
                and n.getRoleName() not in ("list item",)]
    check(not nameless, "every object has a name: %s" % nameless)
    key("Tab", "Tab", "Tab", "Tab", "space")  # the Brakes tile opens its page
    wait(lambda: page_shown() == "Brakes", 5, "the Brakes page")
    check(focused() is not None and focused().name == "Brakes", "the page's own tab has the keys")
    drag = named("slider", "Drag Brake")
    box = named("label", "Drag Brake")
    check(drag is not None and box is not None, "Drag Brake's slider and box are named for it")
    check(drag.description == box.description and drag.description.endswith("%"),
          "Drag Brake reads as its box shows it (%r)" % drag.description)
    bar = named("progress bar", "Firmware Update Progress", shown=False)
    value = bar.queryValue()
    check((value.currentValue, value.minimumValue, value.maximumValue) == (0, 0, 100),
          "the progress bar is named and reads 0 of 0 to 100")
    before = value.currentValue
    try:
        bar.queryAction().doAction(0)
    except Exception:
        pass
    check(value.currentValue == before, "the progress bar cannot be changed")


# ---- a screen reader can do no more than a click or a key ------------------------------
def acts():
    """what a screen reader can do"""
    global slider
    slider = drag.queryValue()
    for asked, expect in ((-1, 0), (257, 75), (float("inf"), 75), (float("-inf"), 0), (30.4, 30),
                          (float("nan"), 30)):
        slider.currentValue = asked
        time.sleep(0.2)
        check(slider.currentValue == expect, "Drag Brake set to %r stands at %r" % (asked, expect))
    hidden_tile = named("push button", "Settings", shown=False)
    check(hidden_tile is not None and not showing(hidden_tile), "the tiles hide under the page")
    press(hidden_tile)
    press(named("push button", "Firmware Update", shown=False))
    time.sleep(0.5)
    check(page_shown() == "Brakes", "a press on a hidden tile opens nothing")
    check(len([w for w in find_app() if w is not None]) == 1,
          "a press on a hidden FIRMWARE UPDATE opens nothing")
    hidden_slider = named("slider", "Coast", shown=False)
    was = hidden_slider.queryValue().currentValue
    hidden_slider.queryValue().currentValue = was + 1
    time.sleep(0.2)
    check(hidden_slider.queryValue().currentValue == was, "a slider on a hidden page takes no value")
    write = named("push button", "Write")
    writes = count("Updating Parameters to ESC...")
    press(write)
    press(write)
    wait(lambda: count("Update Parameters Completed.") + count("Update Parameters ERROR!!") > 0, 10,
         "the write's end")
    time.sleep(0.5)
    check(count("Updating Parameters to ESC...") == writes + 1,
          "two quick presses of WRITE write once")


# ---- a keyboard-only journey ---------------------------------------------------------------
def journey():
    """a keyboard-only journey"""
    key("Tab")
    check(focused() == drag, "Tab reaches Drag Brake")
    for keys, expect in ((["Home"], 0), (["End"], 75), (["Next"], 67), (["Prior"], 75)):
        key(*keys)
        time.sleep(0.2)
        check(slider.currentValue == expect, "%s moves Drag Brake to %d" % (keys[0], expect))
    key("Tab", "Tab")
    check(focused() is not None and focused().name == "Write", "Tab reaches WRITE")
    writes = count("Updating Parameters to ESC...")
    key("space", "space")
    wait(lambda: count("Update Parameters Completed.") + count("Update Parameters ERROR!!") > 1, 10,
         "the second write's end")
    time.sleep(0.5)
    check(count("Updating Parameters to ESC...") == writes + 1,
          "two quick Spaces on WRITE write once")
    check(page_shown() == "Brakes", "the page stays open")
    check(focused() is not None and focused().name == "Write", "the keys are back on WRITE")

    key("Tab", "space")  # Home
    wait(lambda: page_shown() is None, 5, "the face again")
    key("shift+Tab", "shift+Tab")
    check(focused() is not None and focused().name == "Firmware Update",
          "Shift+Tab reaches FIRMWARE UPDATE")
    key("space")
    wait(lambda: len([w for w in find_app() if w is not None]) > 1, 10, "the file dialog")
    time.sleep(1)
    subprocess.run(["xdotool", "type", "--delay", "20", SAMPLE], check=True)
    key("Return")
    wait(lambda: named("push button", "OK") is not None, 10, "the confirmation box")
    time.sleep(0.5)
    key("Return")
    wait(lambda: "Updating Firmware Completed." in lines(), 60, "the firmware update")
    wait(lambda: named("push button", "Yes") is not None, 20, "the restore question")
    time.sleep(0.5)
    key("Return")
    wait(lambda: "Previous settings restored." in lines(), 20, "the settings restored")
    time.sleep(0.5)
    check(focused() is not None and focused().name == "Firmware Update",
          "the keys are back where the user was: %r" % (focused() and focused().name))
    key("Return")
    time.sleep(1.5)
    check(find_app() is not None, "Enter does not close the window")
    windows = [w for w in find_app() if w is not None]
    if len(windows) > 1:  # Enter pressed FIRMWARE UPDATE again: its file dialog goes unanswered
        key("Escape")
        time.sleep(0.5)
    check(focused() is not None and focused().name == "Firmware Update", "and the keys stay there")


drag = slider = None
for part in (hears, acts, journey):
    section(part)
print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
