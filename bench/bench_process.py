#!/usr/bin/env python3
"""Process-level benchmarks of the real application (QuorlinDriver) against a
virtual VT2 unit (quorlin-virtual-unit), each run in private runtime, home and
temporary directories, on a private virtual display (Xvfb) with a stand-alone
tray (trayer), so the application starts as it does on a desktop: in the tray,
its window hidden.

  idle      CPU time (utime + stime from /proc/<pid>/stat) as a share of one
            core, first with the window hidden, then after a left click on the
            tray icon (xdotool) has shown it.
  memory    peak resident set (VmHWM) once the VT2 panel has been shown.
  startup   from process start (taken just before the fork) to the event loop
            running with the tray icon shown, and to a plugged unit's panel
            built, read from the application's own log lines timestamped with
            QT_MESSAGE_PATTERN="%{time boot} ..." (the same monotonic clock).
  disconnect from a SIGKILL to the virtual unit under the running application
            to its log line "Cleared all widgets from base layout.", written
            right before the window shows its not-connected text again.

Only the Python standard library; needs Xvfb, trayer, xdotool and xwininfo.
"""

import argparse
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
MESSAGE_PATTERN = "%{time boot} [%{category}] %{message}"
# Debug lines of widget painting; the first flush of the tray icon's widget is
# the first frame the event loop painted, with the icon docked in the tray.
PAINT_LOGGING = os.environ.get("QUORLIN_BENCH_RULES", "qt.widgets.painting=true")
TRAY_FLUSH = re.compile(r"Flushing QRegion\(.*\) of QSystemTrayIconSys")


def now():
    return time.clock_gettime(time.CLOCK_MONOTONIC)


def figure(name, value, unit, target=None, passed=None):
    line = f"  {name:<44} {value:12.2f} {unit:<6}"
    if target is not None:
        line += f" target {target:<12} {'PASS' if passed else 'MISS'}"
    print(line, flush=True)


def note(text):
    print(f"  {text}", flush=True)


def cpu_seconds(pid):
    """utime + stime of the whole process (all threads), in seconds."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    # Fields after the command: state is field 3, utime 14, stime 15.
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def run_seconds(pid):
    """Time on a CPU of all threads, in seconds, to the nanosecond (schedstat)."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                total += int(stat.read().split()[0])
        except OSError:
            pass
    return total / 1e9


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


class Session:
    """A private display with a tray, and private directories."""

    def __init__(self, bin_dir):
        self.bin_dir = bin_dir
        self.scratch = tempfile.mkdtemp(prefix="quorlin-bench-")
        self.processes = []
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.processes.append(xvfb)
        with os.fdopen(read_end) as display_number:
            self.display = ":" + display_number.readline().strip()
        self.base_env = dict(os.environ, DISPLAY=self.display)
        self.base_env.pop("QT_QPA_PLATFORM", None)
        self.base_env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self.processes.append(subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel",
             "--width", "80", "--height", "32", "--transparent", "false"],
            env=self.base_env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        self.wait_for(lambda: "trayer" in self.x_tree(), 5)
        self.runs = 0

    def close(self):
        for process in reversed(self.processes):
            stop(process)
        if not os.environ.get("QUORLIN_BENCH_KEEP"):
            shutil.rmtree(self.scratch, ignore_errors=True)

    def private_env(self, extra=None):
        """Fresh runtime, home, data, config and temporary directories."""
        self.runs += 1
        root = os.path.join(self.scratch, f"run{self.runs}")
        env = dict(self.base_env)
        for name, sub in (("XDG_RUNTIME_DIR", "runtime"), ("HOME", "home"),
                          ("XDG_DATA_HOME", "data"), ("XDG_CONFIG_HOME", "config"),
                          ("TMPDIR", "tmp")):
            path = os.path.join(root, sub)
            os.makedirs(path, mode=0o700)
            env[name] = path
        env.update(extra or {})
        return root, env

    def x_tree(self):
        return subprocess.run(["xwininfo", "-root", "-tree"], env=self.base_env,
                              capture_output=True, text=True).stdout

    def tray_icon_centre(self):
        for line in self.x_tree().splitlines():
            if '"QuorlinDriver": ("QuorlinDriver"' not in line:
                continue
            fields = line.split()
            width, rest = fields[-2].split("x", 1)
            height = int(rest.split("+")[0])
            if int(width) >= 64:
                continue
            _, x, y = fields[-1].split("+")
            return int(x) + int(width) // 2, int(y) + height // 2
        return None

    def window_visible(self, title):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                               env=self.base_env, capture_output=True, text=True)
        return found.returncode == 0 and found.stdout.strip() != ""

    @staticmethod
    def wait_for(condition, seconds):
        deadline = now() + seconds
        while now() < deadline:
            if condition():
                return True
            time.sleep(0.02)
        return False

    def start_unit(self, env, root):
        unit = subprocess.Popen(
            [os.path.join(self.bin_dir, "quorlin-virtual-unit"), "--model", "vt2", "--quiet"],
            env=env, stdin=subprocess.DEVNULL, stdout=open(os.path.join(root, "unit.log"), "w"),
            stderr=subprocess.STDOUT)
        self.processes.append(unit)
        socket = os.path.join(env["XDG_RUNTIME_DIR"], "quorlin", "QuorlinAudioBus0")
        if not self.wait_for(lambda: os.path.exists(socket), 5):
            raise RuntimeError("the virtual unit did not start")
        return unit

    def start_app(self, env, root, logging_rules=None):
        env = dict(env, QT_LOGGING_TO_CONSOLE="1", QT_MESSAGE_PATTERN=MESSAGE_PATTERN)
        if logging_rules:
            env["QT_LOGGING_RULES"] = logging_rules
        log = os.path.join(root, "app.log")
        started = now()
        app = subprocess.Popen([os.path.join(self.bin_dir, "QuorlinDriver")], env=env,
                               stdout=subprocess.DEVNULL, stderr=open(log, "w"))
        self.processes.append(app)
        return app, log, started


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def log_lines(path):
    """(timestamp, category, message) of each timestamped line."""
    lines = []
    with open(path, errors="replace") as log:
        for line in log:
            match = re.match(r"\s*(\d+\.\d+) \[([^\]]*)\] (.*)", line)
            if match:
                lines.append((float(match.group(1)), match.group(2), match.group(3)))
    return lines


def first_time(lines, predicate):
    for stamp, category, message in lines:
        if predicate(category, message):
            return stamp
    return None


def reconfigure_pause(lines):
    """From the settings dialog's "audio stopped" line, after which it pauses
    for 100 ms, to the next line of the application: the panel's first
    restored control."""
    lines = [line for line in lines if line[1] == "default"]
    for index, (stamp, _, message) in enumerate(lines[:-1]):
        if message.startswith("停止音频成功"):
            return 1000.0 * (lines[index + 1][0] - stamp)
    return 0.0


def device_found(log):
    return any(message.startswith("Device found with PID:")
               for _, _, message in log_lines(log))


def measure_cpu(pid, seconds):
    cpu0, run0, t0 = cpu_seconds(pid), run_seconds(pid), now()
    time.sleep(seconds)
    cpu1, run1, t1 = cpu_seconds(pid), run_seconds(pid), now()
    wall = t1 - t0
    return 100.0 * (cpu1 - cpu0) / wall, 100.0 * (run1 - run0) / wall


def idle_and_memory(session, seconds, settle):
    root, env = session.private_env()
    unit = session.start_unit(env, root)
    app, log, _ = session.start_app(env, root)
    if not session.wait_for(lambda: device_found(log), 10):
        raise RuntimeError("the application did not build the VT2 panel; see " + log)
    title = "^Quorlin VT2"
    hidden_at_start = not session.window_visible(title)
    time.sleep(settle)

    print(f"Idle cost: QuorlinDriver connected to a virtual VT2 "
          f"({seconds:g} s each, after {settle:g} s to settle; Xvfb + trayer)", flush=True)
    hidden, hidden_ns = measure_cpu(app.pid, seconds)
    figure("CPU, window hidden (utime+stime)", hidden, "%", "<= 0.3 %", hidden <= 0.3)
    figure("  same, from schedstat (ns resolution)", hidden_ns, "%")
    if not hidden_at_start:
        note("warning: the window was visible before the tray click")

    centre = session.tray_icon_centre()
    if centre is None:
        raise RuntimeError("no tray icon found")
    subprocess.run(["xdotool", "mousemove", str(centre[0]), str(centre[1]), "click", "1"],
                   env=session.base_env, check=True)
    if not session.wait_for(lambda: session.window_visible(title), 5):
        raise RuntimeError("a click on the tray icon did not show the window")
    # Move the pointer off the window, so no hover repaints count.
    subprocess.run(["xdotool", "mousemove", "1000", "700"], env=session.base_env, check=True)
    time.sleep(settle)
    shown, shown_ns = measure_cpu(app.pid, seconds)
    figure("CPU, window shown (utime+stime)", shown, "%", "<= 1 %", shown <= 1.0)
    figure("  same, from schedstat (ns resolution)", shown_ns, "%")
    tick = 100.0 / CLOCK_TICKS / seconds
    note(f"(utime+stime counts {1000 // CLOCK_TICKS} ms ticks: +/- {tick:.2f} % over "
         f"{seconds:g} s)")

    print("Memory: peak resident set with the VT2 panel shown", flush=True)
    peak = status_kb(app.pid, "VmHWM") / 1024
    figure("peak resident set (VmHWM)", peak, "MB", "<= 45 MB", peak <= 45)
    figure("  resident now (VmRSS)", status_kb(app.pid, "VmRSS") / 1024, "MB")
    stop(app)
    stop(unit)
    return hidden, shown, peak


def startup(session, runs):
    print(f"Start-up: process start to tray icon painted, and to the panel built "
          f"(median of {runs} runs; the unit is plugged before the start)", flush=True)
    to_tray, to_tick, to_panel, to_dialog, after_tick, pauses = [], [], [], [], [], []
    for run in range(runs + 1):  # run 0 warms the file cache and is not counted
        root, env = session.private_env()
        unit = session.start_unit(env, root)
        app, log, started = session.start_app(env, root, PAINT_LOGGING)
        found = session.wait_for(lambda: device_found(log), 10)
        time.sleep(0.1)
        stop(app)
        stop(unit)
        if not found:
            raise RuntimeError("the application did not build the VT2 panel; see " + log)
        lines = log_lines(log)
        marks = (
            first_time(lines, lambda c, m: m == "Settings dialog created."),
            first_time(lines, lambda c, m: c == "qt.widgets.painting" and TRAY_FLUSH.search(m)),
            first_time(lines, lambda c, m: m.startswith("Device PID:")),
            first_time(lines, lambda c, m: m.startswith("Device found with PID:")),
        )
        if None in marks:
            raise RuntimeError("a start-up mark is missing from " + log)
        if run == 0:
            continue
        pauses.append(reconfigure_pause(lines))
        dialog, tray, tick, panel = (1000.0 * (mark - started) for mark in marks)
        to_dialog.append(dialog)
        to_tray.append(tray)
        to_tick.append(tick)
        to_panel.append(panel)
        after_tick.append(panel - tick)
    median = statistics.median
    figure("to settings dialog created (log line)", median(to_dialog), "ms")
    figure("to event loop running, tray icon painted", median(to_tray), "ms", "<= 150 ms",
           median(to_tray) <= 150)
    figure("to first detection tick (Device PID:)", median(to_tick), "ms")
    figure("to panel built (Device found with PID:)", median(to_panel), "ms", "<= 1100 ms",
           median(to_panel) <= 1100)
    figure("  panel built after the detection tick", median(after_tick), "ms")
    figure("    of which: audio stopped -> panel restoring", median(pauses), "ms")
    figure("  worst run, to panel built", max(to_panel), "ms")
    return median(to_tray), median(to_panel)


def disconnect(session, runs):
    print(f"Unit killed: SIGKILL to the virtual unit under the running application, to the "
          f"window back at its not-connected text ({runs} runs)", flush=True)
    times = []
    for _ in range(runs):
        root, env = session.private_env()
        unit = session.start_unit(env, root)
        app, log, _ = session.start_app(env, root)
        if not session.wait_for(lambda: device_found(log), 10):
            raise RuntimeError("the application did not build the VT2 panel; see " + log)
        time.sleep(0.5)  # the connection checks are running
        killed = now()
        unit.kill()
        unit.wait()

        def cleared():
            return first_time(log_lines(log),
                              lambda c, m: m == "Cleared all widgets from base layout.")

        if not session.wait_for(lambda: cleared() is not None, 10):
            raise RuntimeError("the window did not go back to not connected; see " + log)
        times.append(1000.0 * (cleared() - killed))
        stop(app)
    median = statistics.median(times)
    figure("kill to window not connected, median", median, "ms", "<= 1600 ms", median <= 1600)
    figure("  fastest", min(times), "ms")
    figure("  slowest", max(times), "ms")
    return median


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--bin", required=True, help="directory with QuorlinDriver and "
                        "quorlin-virtual-unit")
    parser.add_argument("--seconds", type=float, default=30, help="idle measurement, each of "
                        "hidden and shown (default 30)")
    parser.add_argument("--settle", type=float, default=2, help="wait before each measurement")
    parser.add_argument("--startup-runs", type=int, default=7)
    parser.add_argument("--disconnect-runs", type=int, default=5)
    parser.add_argument("--only", choices=["idle", "startup", "disconnect"], help="run one part")
    options = parser.parse_args()

    session = Session(options.bin)
    try:
        if options.only in (None, "startup"):
            startup(session, options.startup_runs)
        if options.only in (None, "disconnect"):
            disconnect(session, options.disconnect_runs)
        if options.only in (None, "idle"):
            idle_and_memory(session, options.seconds, options.settle)
    finally:
        session.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
