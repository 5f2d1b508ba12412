#!/usr/bin/env python3
"""The real panel as a screen reader meets it, through AT-SPI.

    atspi_check.py <QuorlinDriver> <unit console fifo> <unit log> <data dir> <panel log>

desktop_a11y.sh provides the display, the buses and a virtual VT2 tracing to
the unit log. With the panel started (Qt's accessibility on), this reads the
tree as a screen reader does; sets a dial and presses a switch through AT-SPI;
steps a focused dial and presses a focused switch with the keyboard; checks
each in the unit's trace and vt2.ini; hears a dial's change announced and the
meter updates not; and kills the panel right after a change, to see the unit
get the stored value again when it starts anew, in Chinese. Every wait polls
against a deadline.
"""

import configparser
import os
import re
import signal
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WAIT = 40  # seconds for any one thing to happen
panel_exe, console, unit_log, data_dir, panel_log = sys.argv[1:6]
panel = None


class Failure(Exception):
    pass


def log(text):
    print(time.strftime("[%H:%M:%S]"), text, flush=True)


def until(what, probe):
    """Polls `probe` until it gives something true, delivering AT-SPI events
    between polls."""
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


def children(node):
    return [c for c in (node.getChildAtIndex(i) for i in range(node.childCount)) if c]


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def has(node, state):
    return state in node.getState().getStates()


def start_panel(language):
    global panel
    env = dict(os.environ, LANG=language, LC_ALL=language, QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    panel = subprocess.Popen([panel_exe], env=env, stdout=open(panel_log, "a"),
                             stderr=subprocess.STDOUT)

    def window():
        if panel.poll() is not None:
            raise Failure(f"the panel ended with exit code {panel.returncode}")
        return next((w for app in pyatspi.Registry.getDesktop(0)
                     if app and app.get_process_id() == panel.pid for w in children(app)
                     if w.name.startswith("Quorlin VT2 - FW: ")), None)
    found = until("VT2 panel window on the accessibility bus", window)
    log(f"panel started ({language}): '{found.name}'")
    return found


def controls(window):
    """The dials and switches by name, each name its own."""
    found = [n for n in descendants(window)
             if n.getRole() in (pyatspi.ROLE_SLIDER, pyatspi.ROLE_CHECK_BOX)]
    names = [n.name for n in found]
    if "" in names or len(set(names)) != len(names):
        raise Failure(f"controls without a name of their own: {sorted(names)}")
    return dict(zip(names, found))


def act(node, name):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if name not in names:
        raise Failure(f"'{node.name}' has no action {name}, only {names}")
    action.doAction(names.index(name))


def focus(node):
    act(node, "SetFocus")
    until(f"keyboard focus on '{node.name}'", lambda: has(node, pyatspi.STATE_FOCUSED))


def trace():
    with open(unit_log, errors="replace") as f:
        return f.read().splitlines()


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
    window = start_panel("en_US.UTF-8")

    # What a screen reader finds: named sliders with their values, named
    # check boxes with their state, readouts with their level.
    found = controls(window)
    sliders = {n: c for n, c in found.items() if c.getRole() == pyatspi.ROLE_SLIDER}
    switches = {n: c for n, c in found.items() if c.getRole() == pyatspi.ROLE_CHECK_BOX}
    if (len(sliders), len(switches)) != (6, 10):
        raise Failure(f"expected 6 dials and 10 switches, found {sorted(found)}")
    for name, slider in sliders.items():
        v = slider.queryValue()
        if not v.minimumValue <= v.currentValue <= v.maximumValue:
            raise Failure(f"'{name}' reads {v.currentValue} outside its range")
    if any(has(s, pyatspi.STATE_CHECKED) for s in switches.values()):
        raise Failure("a switch is checked on a first start")
    level = re.compile(r".+ level, (-inf|-?\d+(\.\d)?) dB$")
    readouts = [n for n in descendants(window) if level.match(n.name)]
    if len(readouts) != 4:
        raise Failure(f"expected 4 level readouts, found {[n.name for n in readouts]}")
    log("sliders: " + "; ".join(f"{n} {s.queryValue().currentValue:g}"
                                for n, s in sliders.items()))
    log("check boxes: " + "; ".join(switches))
    log("readouts: " + "; ".join(n.name for n in readouts))

    # The settings dialog, from the ASIO driver's message. As on every Linux
    # desktop, a box is named by its item and labelled by its caption.
    with open(console, "w") as unit:
        unit.write("asio open-window\n")
    dialog = until("settings dialog", lambda: next(
        (w for w in children(window.parent)
         if w.name == "Settings" and has(w, pyatspi.STATE_SHOWING)), None))
    labels = {r.getTarget(0).name: box.name for box in descendants(dialog)
              if box.getRole() == pyatspi.ROLE_COMBO_BOX for r in box.getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY}
    if sorted(labels) != ["Buffer Size", "Safe Mode", "Sample Rate", "USB Latency Size"]:
        raise Failure(f"settings boxes are labelled {labels}")
    log(f"settings boxes: {labels}")

    # A dial set and a switch pressed through AT-SPI.
    sliders["Headphone Volume"].queryValue().currentValue = -20
    sent("WriteMixer (256,4)=0.1 (256,5)=0.1")
    stored("Dial/HeadphoneValue", "-20")
    act(switches["MIC2 48V"], "Press")
    sent("SetMic48V channel=2 state=1")
    stored("Button/Mic248VIsChecked", "true")
    until("'MIC2 48V' checked", lambda: has(switches["MIC2 48V"], pyatspi.STATE_CHECKED))
    log("AT-SPI: 'Headphone Volume' set to -20, 'MIC2 48V' pressed")

    # A dial's change is announced; the readouts' updates are not.
    events = []
    kinds = ("object:property-change:accessible-name", "object:property-change:accessible-value")
    pyatspi.Registry.registerEventListener(events.append, *kinds)
    sliders["Phone To HP Volume"].queryValue().currentValue = -10
    until("value change event of 'Phone To HP Volume'", lambda: any(
        e.type == kinds[1] and e.source.name == "Phone To HP Volume" for e in events))
    seen = set()
    until("two meter updates", lambda: seen.add(readouts[0].name) or len(seen) > 2)
    named = [e.source.name for e in events
             if e.type == kinds[0] and e.source.getRole() == pyatspi.ROLE_LABEL]
    if named:
        raise Failure(f"name change events during meter updates: {named}")
    pyatspi.Registry.deregisterEventListener(events.append, *kinds)
    log(f"meters read {sorted(seen)}, not one event")

    # The keyboard: a focused dial stepped, a focused switch pressed.
    window_id = until("the panel's X window", lambda: subprocess.run(
        ["xdotool", "search", "--name", "^Quorlin VT2"], capture_output=True,
        text=True).stdout.split())[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window_id], check=True)
    until("active panel window", lambda: has(window, pyatspi.STATE_ACTIVE))
    focus(sliders["Speaker Volume"])
    subprocess.run(["xdotool", "key", "Up", "Up", "Page_Up"], check=True)
    sent("WriteMixer (256,0)=0.000251189 (256,1)=0.000251189")
    stored("Dial/SpeakerValue", "-72")
    until("'Speaker Volume' at -72",
          lambda: sliders["Speaker Volume"].queryValue().currentValue == -72)
    focus(switches["Speaker MUTE"])
    subprocess.run(["xdotool", "key", "space"], check=True)
    sent("WriteMixer (256,0)=0 (256,1)=0")
    stored("Button/SpeakerMuteIsChecked", "true")
    log("keyboard: Up Up Page Up took 'Speaker Volume' to -72, Space muted the speaker")

    # Killed right after a change, the panel replays it when it starts again.
    sliders["MIC1 Gain"].queryValue().currentValue = 30
    panel.send_signal(signal.SIGKILL)
    panel.wait()
    sent("SetMicVolume channel=1 value=42")
    mark = len(trace())
    log("panel killed right after 'MIC1 Gain' was set to 30 dB")
    found = controls(start_panel("zh_CN.UTF-8"))
    sent("SetMicVolume channel=1 value=42", since=mark)
    if not {"MIC1 增益", "耳机静音", "音箱静音", "MIC2 48V 幻象电源"} <= found.keys():
        raise Failure(f"Chinese names missing, found {sorted(found)}")
    if found["MIC1 增益"].queryValue().currentValue != 30:
        raise Failure("'MIC1 增益' does not read 30 after the restart")
    if not has(found["音箱静音"], pyatspi.STATE_CHECKED):
        raise Failure("'音箱静音' is not checked after the restart")
    log("restarted in Chinese: the unit got the stored gain again, 'MIC1 增益' reads 30")
    panel.terminate()
    if panel.wait(timeout=WAIT) != 0:
        raise Failure(f"the panel ended with exit code {panel.returncode} after SIGTERM")


try:
    check()
except Failure as failure:
    print(f"FAIL: {failure}", file=sys.stderr)
    if panel and panel.poll() is None:
        panel.kill()
    sys.exit(1)
print("PASS")
