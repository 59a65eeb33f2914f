#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader receives from the game over AT-SPI.

Usage: reader_test.py GAME [--print]

Starts its own X server (Xvfb), session bus and accessibility bus, then the game with
accessibility on, and plays as a screen reader user does, through the squares' press actions:
selects e2 and plays e2-e4, tries c2-c5. It listens as a screen reader listens and checks that the
computer's move and the refused move are announced by an alert, that selecting and putting back a
square report its selected state, and that the clock's ticks are not reported. --print shows every
event received.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time


def start(command, **kwargs):
    return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, **kwargs)


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    game = os.path.abspath(sys.argv[1])
    show = "--print" in sys.argv[2:]
    for tool in ("Xvfb", "dbus-daemon"):
        if shutil.which(tool) is None:
            print(f"reader_test: {tool} is missing", file=sys.stderr)
            return 2

    scratch = tempfile.TemporaryDirectory(prefix="vombel-reader-")
    children = []
    try:
        xvfb = start(["Xvfb", "-displayfd", "1", "-noreset", "-screen", "0", "1280x1024x24"])
        children.append(xvfb)
        os.environ["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()
        bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"])
        children.append(bus)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        children.append(start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"]))
        time.sleep(1)
        import pyatspi  # reads the buses set above
        from gi.repository import GLib

        # Under AddressSanitizer, without the strict string checks that libxkbcommon-x11 trips.
        sanitizer = os.environ.get("ASAN_OPTIONS", "")
        sanitizer = (sanitizer + ":" if sanitizer else "") + "strict_string_checks=0"
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=scratch.name,
                           ASAN_OPTIONS=sanitizer)
        environment.pop("WAYLAND_DISPLAY", None)
        children.append(subprocess.Popen([game], cwd=scratch.name, env=environment,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        return play(pyatspi, GLib, show)
    finally:
        for child in reversed(children):
            child.terminate()
            child.wait()
        scratch.cleanup()


def play(pyatspi, GLib, show):
    events = []

    def heard(event):
        try:
            source = event.source
            if "vombel" not in source.getApplication().name:
                return
            events.append((event.type, event.detail1, source.getRoleName(), source.name))
        except Exception:  # an object gone before it could be read
            return
        if show:
            print(f"{event.type} detail1={event.detail1} role={events[-1][2]!r} "
                  f"name={events[-1][3]!r}", flush=True)

    pyatspi.Registry.registerEventListener(
        heard, "object:property-change:accessible-name", "object:state-changed:showing",
        "object:state-changed:selected")

    def find_game():
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and "vombel" in (app.name or ""):
                return app
        return None

    def squares(app):
        found = {}

        def walk(node, depth):
            if depth > 6:
                return
            for child in node:
                if child is None:
                    continue
                name = child.name or ""
                if child.getRoleName() == "push button" and name[:2] and name[2:3] == ",":
                    found[name[:2]] = child
                walk(child, depth + 1)

        walk(app, 0)
        return found

    def press(square):
        action = square.queryAction()
        for i in range(action.nActions):
            if action.getName(i) == "Press":
                action.doAction(i)
                return
        raise RuntimeError("no press action")

    state = {"app": None, "step": 0, "waited": 0}
    steps = ["e2", "e4", "c2", "c5", "wait", "wait", "wait"]

    def tick():
        if state["app"] is None:
            state["app"] = find_game()
            state["waited"] += 1
            if state["app"] is None and state["waited"] > 40:
                pyatspi.Registry.stop()
                return False
            return True
        if state["step"] >= len(steps):
            pyatspi.Registry.stop()
            return False
        where = steps[state["step"]]
        state["step"] += 1
        if where != "wait":
            press(squares(state["app"])[where])
        return True

    GLib.timeout_add(700, tick)
    pyatspi.Registry.start()

    failures = []
    if state["app"] is None:
        failures.append("the game never appeared on the accessibility bus")
    announced = [name for (kind, _, role, name) in events
                 if role == "alert" and kind.startswith("object:property-change")]
    for words in ("Black: pawn e7 to e5", "Not allowed: c2 to c5"):
        if words not in announced:
            failures.append(f"not announced: {words!r} (announced: {announced})")
    if not any(kind.startswith("object:state-changed:showing") and role == "alert"
               for (kind, _, role, _) in events):
        failures.append("the alert never appeared")
    selected = [detail for (kind, detail, _, name) in events
                if kind.startswith("object:state-changed:selected") and name.startswith("e2")]
    if 1 not in selected or 0 not in selected:
        failures.append(f"e2's selected state changes: {selected}")
    clocks = [name for (kind, _, _, name) in events
              if kind.startswith("object:property-change") and "time" in name]
    if clocks:
        failures.append(f"the clocks were read out: {clocks}")
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(events)} events, {len(announced)} announcements: {announced}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
