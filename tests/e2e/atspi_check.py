#!/usr/bin/env python3
"""The real panel as a screen reader meets it, through AT-SPI.

    atspi_check.py <QuorlinDriver> <unit console fifo> <unit log> <data dir> <panel log>

desktop_a11y.sh provides the display, the session and accessibility buses and
a virtual VT2 that writes its trace to the unit log. This script starts the
panel with Qt's accessibility on and, with a VT2 plugged in:

  - reads the tree as a screen reader does: every dial a slider and every
    switch a check box, each with a name of its own, its value or state; the
    readouts with their level; the settings dialog's boxes named by their
    captions;
  - sets a dial and presses a switch through AT-SPI, and steps a focused dial
    and presses a focused switch with the keyboard (xdotool), each checked in
    the unit's trace and in vt2.ini;
  - listens to the accessibility events: a dial's change is announced, the
    meter readouts' half-second updates are not;
  - kills the panel with SIGKILL right after a change, starts it again in
    Chinese and sees the unit receive the stored value, under the Chinese
    names.

Every wait polls against a deadline.
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


class Failure(Exception):
    pass


def log(text):
    print(time.strftime("[%H:%M:%S]"), text, flush=True)


def until(what, probe):
    """Polls `probe` until it returns something true; AT-SPI events are
    delivered between polls."""
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
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def states(node):
    return set(node.getState().getStates())


class Desktop:
    def __init__(self, panel_exe, console, unit_log, data_dir, panel_log):
        self.panel_exe = panel_exe
        self.unit_log = unit_log
        self.ini = os.path.join(data_dir, "vt2.ini")
        self.panel_log = open(panel_log, "a")
        self.console = open(console, "w", buffering=1)
        self.panel = None

    # --- the panel process and its window ---------------------------------

    def start_panel(self, language):
        env = dict(os.environ, LANG=language, LC_ALL=language, QT_QPA_PLATFORM="xcb",
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.panel = subprocess.Popen([self.panel_exe], env=env, stdout=self.panel_log,
                                      stderr=subprocess.STDOUT)
        self.window = until("VT2 panel window on the accessibility bus", self.find_window)
        log(f"panel started ({language}): '{self.window.name}'")

    def find_window(self):
        if self.panel.poll() is not None:
            raise Failure(f"the panel ended with exit code {self.panel.returncode}")
        for app in pyatspi.Registry.getDesktop(0):
            if app is None or app.get_process_id() != self.panel.pid:
                continue
            for window in (app.getChildAtIndex(i) for i in range(app.childCount)):
                if window is not None and window.name.startswith("Quorlin VT2 - FW: "):
                    return window
        return None

    def controls(self):
        """The dials and switches by name; names must be unique."""
        found = [n for n in descendants(self.window)
                 if n.getRole() in (pyatspi.ROLE_SLIDER, pyatspi.ROLE_CHECK_BOX)]
        names = [n.name for n in found]
        duplicates = {name for name in names if names.count(name) > 1}
        if duplicates or "" in names:
            raise Failure(f"controls without a name of their own: {sorted(duplicates)}")
        return dict(zip(names, found))

    def focus_window(self):
        window_id = until("X window of the panel", lambda: subprocess.run(
            ["xdotool", "search", "--name", "^Quorlin VT2"], capture_output=True,
            text=True).stdout.split())[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window_id], check=True)
        until("active panel window", lambda: pyatspi.STATE_ACTIVE in states(self.window))

    def focus(self, control):
        do_action(control, "SetFocus")
        until(f"keyboard focus on '{control.name}'",
              lambda: pyatspi.STATE_FOCUSED in states(control))

    # --- what reached the unit and the file --------------------------------

    def trace(self):
        with open(self.unit_log, errors="replace") as f:
            return f.read().splitlines()

    def sent(self, line, since=0):
        until(f"'{line}' in the unit's trace", lambda: line in self.trace()[since:])

    def stored(self, key, value):
        def matches():
            ini = configparser.ConfigParser(interpolation=None, strict=False)
            ini.optionxform = str
            ini.read(self.ini)
            section, name = key.split("/")
            return ini.get(section, name, fallback=None) == value
        until(f"{key}={value} in vt2.ini", matches)


def do_action(node, name):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if name not in names:
        raise Failure(f"'{node.name}' has no action {name}, only {names}")
    action.doAction(names.index(name))


def check(desk):
    desk.start_panel("en_US.UTF-8")

    # What a screen reader finds.
    controls = desk.controls()
    sliders = {n: c for n, c in controls.items() if c.getRole() == pyatspi.ROLE_SLIDER}
    switches = {n: c for n, c in controls.items() if c.getRole() == pyatspi.ROLE_CHECK_BOX}
    if (len(sliders), len(switches)) != (6, 10):
        raise Failure(f"expected 6 dials and 10 switches, found {sorted(controls)}")
    for name, slider in sliders.items():
        value = slider.queryValue()
        if not value.minimumValue <= value.currentValue <= value.maximumValue:
            raise Failure(f"'{name}' reads {value.currentValue} outside "
                          f"{value.minimumValue}..{value.maximumValue}")
        log(f"slider '{name}' = {value.currentValue:g} ({value.minimumValue:g} to "
            f"{value.maximumValue:g})")
    for name, switch in switches.items():
        if pyatspi.STATE_CHECKED in states(switch):
            raise Failure(f"'{name}' is checked on a first start")
        log(f"check box '{name}', not checked")
    readout = re.compile(r".+ level, (-inf|-?\d+(\.\d)?) dB$")
    readouts = [n for n in descendants(desk.window)
                if n.getRole() == pyatspi.ROLE_LABEL and readout.match(n.name)]
    if len(readouts) != 4:
        raise Failure(f"expected 4 level readouts, found {[n.name for n in readouts]}")
    log("readouts: " + "; ".join(n.name for n in readouts))

    # The settings dialog, brought up by the ASIO driver's message.
    desk.console.write("asio open-window\n")
    app = desk.window.parent
    dialog = until("settings dialog", lambda: next(
        (w for w in (app.getChildAtIndex(i) for i in range(app.childCount))
         if w is not None and w.name == "Settings" and pyatspi.STATE_SHOWING in states(w)), None))
    # As on every Linux desktop, a box's name is its current item and its
    # caption labels it through a relation.
    boxes = {}
    for box in descendants(dialog):
        if box.getRole() == pyatspi.ROLE_COMBO_BOX:
            for relation in box.getRelationSet():
                if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                    boxes[relation.getTarget(0).name] = box.name
    if sorted(boxes) != ["Buffer Size", "Safe Mode", "Sample Rate", "USB Latency Size"]:
        raise Failure(f"settings boxes are labelled {boxes}")
    log(f"settings dialog boxes: {boxes}")

    # Set a dial and press a switch through AT-SPI.
    sliders["Headphone Volume"].queryValue().currentValue = -20
    desk.sent("WriteMixer (256,4)=0.1 (256,5)=0.1")
    desk.stored("Dial/HeadphoneValue", "-20")
    do_action(switches["MIC2 48V"], "Press")
    desk.sent("SetMic48V channel=2 state=1")
    desk.stored("Button/Mic248VIsChecked", "true")
    until("'MIC2 48V' checked", lambda: pyatspi.STATE_CHECKED in states(switches["MIC2 48V"]))
    log("AT-SPI: 'Headphone Volume' set to -20, 'MIC2 48V' pressed")

    # A dial's change is announced; the readouts' updates are not.
    events = []
    listened = ("object:property-change:accessible-name",
                "object:property-change:accessible-value")
    pyatspi.Registry.registerEventListener(events.append, *listened)
    sliders["Phone To HP Volume"].queryValue().currentValue = -10
    until("value change event of 'Phone To HP Volume'", lambda: any(
        e.type == listened[1] and e.source.name == "Phone To HP Volume" for e in events))
    first = readouts[0].name
    seen = set()

    def two_updates():
        seen.add(readouts[0].name)
        return len(seen) > 2

    until("two meter updates", two_updates)
    named = [e.source.name for e in events
             if e.type == listened[0] and e.source.getRole() == pyatspi.ROLE_LABEL]
    if named:
        raise Failure(f"name change events during meter updates: {named}")
    pyatspi.Registry.deregisterEventListener(events.append, *listened)
    log(f"meters updated ({first} -> {readouts[0].name}) without an event")

    # The keyboard: step a focused dial, press a focused switch.
    desk.focus_window()
    desk.focus(sliders["Speaker Volume"])
    subprocess.run(["xdotool", "key", "Up", "Up", "Page_Up"], check=True)
    desk.sent("WriteMixer (256,0)=0.000251189 (256,1)=0.000251189")
    desk.stored("Dial/SpeakerValue", "-72")
    until("'Speaker Volume' at -72",
          lambda: sliders["Speaker Volume"].queryValue().currentValue == -72)
    desk.focus(switches["Speaker MUTE"])
    subprocess.run(["xdotool", "key", "space"], check=True)
    desk.sent("WriteMixer (256,0)=0 (256,1)=0")
    desk.stored("Button/SpeakerMuteIsChecked", "true")
    log("keyboard: Up Up Page Up took 'Speaker Volume' to -72, Space muted the speaker")

    # Durability: killed right after a change, the panel replays it.
    sliders["MIC1 Gain"].queryValue().currentValue = 30
    desk.panel.send_signal(signal.SIGKILL)
    desk.panel.wait()
    desk.sent("SetMicVolume channel=1 value=42")
    mark = len(desk.trace())
    log("panel killed right after 'MIC1 Gain' was set to 30 dB")
    desk.start_panel("zh_CN.UTF-8")
    desk.sent("SetMicVolume channel=1 value=42", since=mark)
    controls = desk.controls()
    for name in ("MIC1 增益", "耳机静音", "音箱静音", "MIC2 48V 幻象电源"):
        if name not in controls:
            raise Failure(f"no control named '{name}' in Chinese, only {sorted(controls)}")
    if controls["MIC1 增益"].queryValue().currentValue != 30:
        raise Failure("'MIC1 增益' does not read 30 after the restart")
    if pyatspi.STATE_CHECKED not in states(controls["音箱静音"]):
        raise Failure("'音箱静音' is not checked after the restart")
    log("restarted in Chinese: the unit received the stored gain again; "
        "'MIC1 增益' reads 30, '音箱静音' is checked")

    desk.panel.terminate()
    desk.panel.wait(timeout=WAIT)


def main():
    desk = Desktop(*sys.argv[1:6])
    try:
        check(desk)
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        if desk.panel and desk.panel.poll() is None:
            desk.panel.kill()
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
