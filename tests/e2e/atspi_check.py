#!/usr/bin/env python3
"""The real panel as a screen reader meets it, through AT-SPI, each change
checked on the virtual VT2's trace and in vt2.ini (desktop_e2e.sh sets up,
with the unit's console on descriptor 7).
    atspi_check.py <QuorlinDriver> <unit log> <data dir> <panel log>
"""

import configparser
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WAIT = 40  # seconds for any one thing to happen
panel_exe, unit_log, data_dir, panel_log = sys.argv[1:5]
panel = window = None

class Failure(Exception): pass

def until(what, probe):
    """Polls `probe` for something true, delivering AT-SPI events meanwhile."""
    end = time.monotonic() + WAIT
    while True:
        GLib.MainContext.default().iteration(False)
        try:
            result = probe()
        except GLib.Error:  # an object went away while it was read
            result = None
        if result:
            return result
        if time.monotonic() > end:
            raise Failure(f"no {what} within {WAIT} s")
        time.sleep(0.1)

def descendants(node):
    for child in (node.getChildAtIndex(i) for i in range(node.childCount)):
        if child:
            yield child
            yield from descendants(child)

def has(node, state):
    return state in node.getState().getStates()

def start_panel():
    """Starts the panel; returns its dials and switches, each by a name of its own."""
    global panel, window
    env = dict(os.environ, LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8", QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    panel = subprocess.Popen([panel_exe], env=env, stdout=open(panel_log, "a"),
                             stderr=subprocess.STDOUT)
    def find():
        if panel.poll() is not None:
            raise Failure(f"the panel ended with exit code {panel.returncode}")
        return next((w for app in pyatspi.Registry.getDesktop(0) if app
                     and app.get_process_id() == panel.pid for w in descendants(app)
                     if w.name.startswith("Quorlin VT2 - FW: ")), None)
    window = until("VT2 panel window on the accessibility bus", find)
    found = [n for n in descendants(window) if n.getRole() in (pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_CHECK_BOX)]
    names = [n.name for n in found]
    if "" in names or len(set(names)) != len(names) or len(names) != 16:
        raise Failure(f"expected 16 dials and switches, each named: {sorted(names)}")
    return dict(zip(names, found))

def press(node, name):
    action = node.queryAction()
    action.doAction([action.getName(i) for i in range(action.nActions)].index(name))

def unit_say(command):
    os.write(7, (command + "\n").encode())

def spoken(node):
    return node.queryText().getText(0, node.queryText().characterCount)

def first(root, test):
    return next((n for n in descendants(root) if test(n)), None)

def focused(root):
    return first(root, lambda n: has(n, pyatspi.STATE_FOCUSED))

def named(root, role, name):
    return first(root, lambda n: n.getRole() == role and n.name == name)

def gone(node):
    try:
        return has(node, pyatspi.STATE_DEFUNCT)
    except GLib.Error:
        return True

def focus_x_window(title):
    """Gives the keyboard to the X window whose title matches `title`."""
    found = until(f"the X window '{title}'", lambda: subprocess.run(
        ["xdotool", "search", "--name", title], capture_output=True, text=True).stdout.split())
    subprocess.run(["xdotool", "windowfocus", "--sync", found[0]], check=True)

def trace():
    return open(unit_log, errors="replace").read().splitlines()

def sent(line, since=0):
    until(f"'{line}' in the unit's trace", lambda: line in trace()[since:])

def stored(key, value):
    def matches():
        ini = configparser.ConfigParser(interpolation=None, strict=False)
        ini.optionxform = str
        ini.read(os.path.join(data_dir, "vt2.ini"))
        return ini.get(*key.split("/"), fallback=None) == value
    until(f"{key}={value} in vt2.ini", matches)

def check():
    found = start_panel()

    # A dial set and a switch pressed through AT-SPI.
    found["Headphone Volume"].queryValue().currentValue = -20
    sent("WriteMixer (256,4)=0.1 (256,5)=0.1")
    stored("Dial/HeadphoneValue", "-20")
    press(found["MIC2 48V"], "Press")
    sent("SetMic48V channel=2 state=1")
    stored("Button/Mic248VIsChecked", "true")
    until("'MIC2 48V' checked", lambda: has(found["MIC2 48V"], pyatspi.STATE_CHECKED))

    # The keyboard: a focused dial stepped with the arrow keys.
    focus_x_window("^Quorlin VT2")
    until("active panel window", lambda: has(window, pyatspi.STATE_ACTIVE))
    speaker = found["Speaker Volume"]
    press(speaker, "SetFocus")
    until("keyboard focus on 'Speaker Volume'", lambda: has(speaker, pyatspi.STATE_FOCUSED))
    subprocess.run(["xdotool", "key", "Up", "Up", "Page_Up"], check=True)
    sent("WriteMixer (256,0)=0.000251189 (256,1)=0.000251189")
    stored("Dial/SpeakerValue", "-72")
    until("'Speaker Volume' at -72", lambda: speaker.queryValue().currentValue == -72)

    # Spoken with units: a dial's text is its value as a screen reader says it.
    until("'Headphone Volume' as '-20 dB'", lambda: spoken(found["Headphone Volume"]) == "-20 dB")
    found["Phone To HP Volume"].queryValue().currentValue = 6
    until("'Phone To HP Volume' as '+6 dB'", lambda: spoken(found["Phone To HP Volume"]) == "+6 dB")

    # Each readout has a name of its own, told of each new level.
    readouts = [n.name.split(", ")[0] for n in descendants(window) if n.getRole() == pyatspi.ROLE_LABEL
                and n.name.endswith(" dB") and ", " in n.name]
    if len(readouts) != 4 or len(set(readouts)) != 4:
        raise Failure(f"expected four readouts, each named: {readouts}")
    renamed = []
    listener = lambda event: renamed.append(event.source.name)
    pyatspi.Registry.registerEventListener(listener, "object:property-change:accessible-name")
    for peak, level in (("214748365", "-20.0 dB"), ("2147483647", "0.0 dB")):
        unit_say(f"level 0 {peak}")
        until(f"'MIC1 level, {level}' told", lambda: f"MIC1 level, {level}" in renamed)
    pyatspi.Registry.deregisterEventListener(listener, "object:property-change:accessible-name")

    # Unplugged: the status takes the focus, and the dials' objects are gone.
    # The focus is followed through its events, as a screen reader hears it.
    focus_x_window("^Quorlin VT2")
    dial = found["MIC1 Gain"]
    focus = []
    on_focus = lambda event: event.detail1 and focus.append((event.source.name,
                                                             event.source.getRole()))
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    unit_say("unplug")
    until("focus on 'Sound card not connected!'",
          lambda: ("Sound card not connected!", pyatspi.ROLE_LABEL) in focus)
    until("the MIC1 Gain dial gone", lambda: gone(dial))
    if any(n.getRole() == pyatspi.ROLE_SPIN_BUTTON for n in descendants(window)):
        raise Failure("a dial is still reachable after the unplug")
    # Plugged again: the panel's first control has the focus, the panel is told.
    unit_say("plug")
    until("focus on the new 'MIC1 Gain'", lambda: ("MIC1 Gain", pyatspi.ROLE_SPIN_BUTTON) in focus)
    pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")
    until("the panel announced", lambda: named(window, pyatspi.ROLE_NOTIFICATION, window.name))

    # The settings dialog from the window's shortcut: options said with units.
    subprocess.run(["xdotool", "key", "ctrl+comma"], check=True)
    app = window.parent
    dialog = until("the settings dialog", lambda: named(app, pyatspi.ROLE_DIALOG, "Settings"))
    boxes = until("its four options", lambda: [n for n in descendants(dialog)
                                              if n.getRole() == pyatspi.ROLE_COMBO_BOX] or None)
    said = [b.description for b in boxes]
    if said != ["192 samples", "8 ms", "44100 Hz", "Disabled"]:
        raise Failure(f"options said as {said}")
    focus_x_window("^Settings$")
    until("focus on the buffer size", lambda: (focused(dialog) or dialog).description == said[0])
    mark = len(trace())
    subprocess.run(["xdotool", "key", "Down"], check=True)
    sent("SetBufferSize 256", since=mark)
    until("'256 samples' said", lambda: boxes[0].description == "256 samples"
          and named(dialog, pyatspi.ROLE_NOTIFICATION, "256 samples"))

try:
    check()
except Failure as failure:
    sys.exit(f"FAIL: {failure}")
finally:
    if panel and panel.poll() is None:
        panel.kill()
print("PASS")
