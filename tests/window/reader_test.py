#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader receives from the game over AT-SPI.

Usage: reader_test.py GAME [--print]

Starts its own X server (Xvfb), session bus and accessibility bus, then the game with
accessibility on, and plays as a screen reader user does, through the press actions of the
squares, the menu and the buttons: e2-e4, c2-c5, then saved positions of the benchmark opened with
Game > Open and answered with "->", where the computer captures, castles, promotes and resigns.
It listens as a screen reader listens and checks that each of the computer's moves, the refused
move and the resignation are announced by a notification that appears (a reader speaks it then)
with its new name, that selecting a square and playing it report its selected state, and that
neither the clocks' ticks nor the progress bar's values are reported. --print shows every event
received.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"  # at-spi2-core
POSITIONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench",
                         "positions")


def start(command, **kwargs):
    return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, **kwargs)


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    game = os.path.abspath(sys.argv[1])
    show = "--print" in sys.argv[2:]
    for tool in ("Xvfb", "dbus-daemon", BUS_LAUNCHER):
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
        children.append(start([BUS_LAUNCHER, "--launch-immediately"]))
        time.sleep(1)
        import pyatspi  # reads the buses set above
        from gi.repository import GLib

        # Under AddressSanitizer, without the strict string checks that libxkbcommon-x11 trips.
        sanitizer = os.environ.get("ASAN_OPTIONS", "")
        sanitizer = (sanitizer + ":" if sanitizer else "") + "strict_string_checks=0"
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_QPA_PLATFORM="xcb", XDG_CONFIG_HOME=scratch.name, XDG_STATE_HOME=scratch.name,
                           ASAN_OPTIONS=sanitizer)
        environment.pop("WAYLAND_DISPLAY", None)
        children.append(subprocess.Popen([game], cwd=scratch.name, env=environment,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        return play(pyatspi, GLib, show, scratch.name)
    finally:
        for child in reversed(children):
            child.terminate()
            child.wait()
        scratch.cleanup()


def play(pyatspi, GLib, show, scratch):
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
        heard, "object:property-change:accessible-name", "object:property-change:accessible-value",
        "object:state-changed:showing", "object:state-changed:selected")

    def find_game():
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and "vombel" in (app.name or ""):
                return app
        return None

    def find(app, role, name, depth=0):
        """The first object of role whose name is name (or starts with it, for the squares)."""
        if depth > 8:
            return None
        for child in app:
            if child is None:
                continue
            if child.getRoleName() == role and (child.name or "").startswith(name):
                return child
            found = find(child, role, name, depth + 1)
            if found is not None:
                return found
        return None

    def press(target):
        action = target.queryAction()
        for i in range(action.nActions):
            if action.getName(i) == "Press":
                action.doAction(i)
                return
        raise RuntimeError(f"no press action on {target.name!r}")

    def load(position):
        shutil.copyfile(os.path.join(POSITIONS, position + ".vmb"),
                        os.path.join(scratch, "juego.vmb"))
        press(find(state["app"], "menu item", "Open"))

    # e2-e4 and c2-c5 by the squares, then saved positions opened by Game > Open, where "->" has
    # the computer capture, castle, promote and resign; OK closes the resignation's box.
    steps = [("square", "e2, "), ("square", "e4, "), ("square", "c2, "), ("square", "c5, "),
             ("wait", ""), ("wait", ""),
             ("load", "g1_middle_013"), ("force", ""), ("load", "g3_middle_011"), ("force", ""),
             ("load", "promotion_capture"), ("force", ""), ("load", "resignation"), ("force", ""),
             ("ok", ""), ("wait", "")]
    state = {"app": None, "step": 0, "waited": 0}

    def tick():
        if state["app"] is None:
            state["app"] = find_game()
            state["waited"] += 1
            if state["app"] is None and state["waited"] > 40:
                pyatspi.Registry.stop()
                return False
            state["waited"] = 0
            return True
        if state["step"] >= len(steps):
            pyatspi.Registry.stop()
            return False
        kind, what = steps[state["step"]]
        if kind == "square":
            press(find(state["app"], "push button", what))
        elif kind == "load":
            load(what)
        elif kind == "force":
            press(find(state["app"], "push button", "Force Computer"))
        elif kind == "ok":
            ok = find(state["app"], "push button", "OK")
            if ok is None:
                state["waited"] += 1
                if state["waited"] < 60:
                    return True  # the box is not up yet
            else:
                press(ok)
        state["step"] += 1
        state["waited"] = 0
        return True

    GLib.timeout_add(700, tick)
    pyatspi.Registry.start()

    failures = []
    if state["app"] is None:
        failures.append("the game never appeared on the accessibility bus")
    # Each name the notification takes must come with its appearance, which is what Orca speaks.
    announced = []
    named = None
    for (kind, detail, role, name) in events:
        if role != "notification":
            continue
        if kind.startswith("object:property-change"):
            if named is not None:
                failures.append(f"announced without appearing: {named!r}")
            named = name
        elif kind.startswith("object:state-changed:showing") and detail == 1:
            announced.extend(name.split(". "))
            named = None
    if named is not None:
        failures.append(f"announced without appearing: {named!r}")
    for words in ("Black pawn e7 to e5", "Not allowed, c2 to c5", "Black pawn takes pawn on d4",
                  "Black castles king side", "Black pawn takes rook on e1, becomes a queen",
                  "Black resigns"):
        if words not in announced:
            failures.append(f"not announced: {words!r} (announced: {announced})")
    progress = [name for (kind, _, role, name) in events
                if kind.startswith("object:property-change:accessible-value")
                and role == "progress bar"]
    if progress:
        failures.append(f"the progress bar's values were reported: {len(progress)}")
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
