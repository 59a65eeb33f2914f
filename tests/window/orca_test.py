#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What Orca, the screen reader, says while a short game is played from the keyboard.

Usage: orca_test.py GAME [--keep DIR]

Runs Orca as a blind player runs it, in a session of its own: a virtual X server (Xvfb), a session
bus, the accessibility bus, the openbox window manager and speech-dispatcher, configured in a
scratch HOME to speak through a generic output module that appends every utterance to a file.
Then it starts the game (with no setting asked of the player) and types as the player does: e2-e4
with Enter, c2-c5 with Space (refused), then Ctrl+O opens a saved position where b2-b3 makes the
computer resign, and Enter closes the box. After each key it waits for what Orca must say and
fails, printing all Orca said, when that does not come; it also fails on a progress percentage, a
move number, a role name or punctuation read aloud. Everything it started is ended on exit.
--keep DIR keeps the session's files (Orca's debug log among them) in DIR. Exits 77 (skipped)
where a tool is missing, or while another Orca of the same user runs for two minutes: Orca
refuses to start beside another, and the test never ends one it did not start.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"  # at-spi2-core
TOOLS = ("Xvfb", "dbus-daemon", BUS_LAUNCHER, "openbox", "orca", "speech-dispatcher", "xdotool",
         "xprop")
RESIGNATION = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench",
                           "positions", "resignation.vmb")
MARK = "VOMBEL_ORCA_TEST"  # in the environment of every process the test starts

# The game, key by key: the keys, then what Orca must say after them, in that order. From a1:
# e2-e4 with Enter, c2-c5 with Space, then a2 (which the saved position empties), and b2-b3, after
# which the computer resigns.
GAME = [
    ("Right", ["b1, white knight"]), ("Right", ["c1, white bishop"]),
    ("Right", ["d1, white queen"]), ("Right", ["e1, white king"]), ("Up", ["e2, white pawn"]),
    ("Return", ["e2, white pawn, selected"]), ("Up", ["e3, empty"]), ("Up", ["e4, empty"]),
    ("Return", ["e4, white pawn", "Black pawn e7 to e5"]),
    ("Left", ["d4, empty"]), ("Left", ["c4, empty"]), ("Down", ["c3, empty"]),
    ("Down", ["c2, white pawn"]), ("space", ["selected", "c2, white pawn, selected"]),
    ("Up", ["c3, empty"]), ("Up", ["c4, empty"]), ("Up", ["c5, empty"]),
    ("space", ["Not allowed, c2 to c5"]),
    ("Left", ["b5, empty"]), ("Left", ["a5, empty"]), ("Down", ["a4, empty"]),
    ("Down", ["a3, empty"]), ("Down", ["a2, white pawn"]),
    ("ctrl+o", ["a2, empty"]), ("Right", ["b2, white pawn"]),
    ("Return", ["b2, white pawn, selected"]), ("Up", ["b3, empty"]),
    ("Return", ["b3, white pawn", "Computer resignes", "OK push button"]),
    ("Return", ["b3, white pawn push button", "Black resigns"]),
]
# What Orca must never say in this game.
NEVER = ("percent", "colon", "notification", "Movement number")


class Session:
    """The processes of the session, each in a process group of its own."""

    def __init__(self, scratch):
        self.scratch = scratch
        self.children = []
        self.env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS",
                     "QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "QT_ACCESSIBILITY"):
            self.env.pop(name, None)
        home = os.path.join(scratch, "home")
        runtime = os.path.join(scratch, "runtime")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        self.env.update(HOME=home, XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"), QT_QPA_PLATFORM="xcb",
                        **{MARK: scratch})

    def start(self, command, **kwargs):
        child = subprocess.Popen(command, env=self.env, start_new_session=True,
                                 stdin=subprocess.DEVNULL, **kwargs)
        self.children.append(child)
        return child

    def end(self):
        for child in reversed(self.children):
            try:
                os.killpg(child.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        for child in self.children:
            try:
                child.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(child.pid, signal.SIGKILL)
                child.wait()
        # Daemons that left their group (speech-dispatcher, the buses' helpers) carry the mark.
        for _ in range(50):
            left = self.marked()
            if not left:
                return
            for pid in left:
                try:
                    os.kill(pid, signal.SIGTERM if _ < 25 else signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.1)

    def marked(self):
        mark = f"{MARK}={self.scratch}".encode()
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as environ:
                    if mark in environ.read().split(b"\0"):
                        found.append(int(entry))
            except OSError:
                continue
        return found


def configure_speech(env, spoken):
    """speech-dispatcher's generic module, writing each utterance as a line of spoken."""
    modules = os.path.join(env["XDG_CONFIG_HOME"], "speech-dispatcher", "modules")
    os.makedirs(modules)
    with open(os.path.join(modules, "..", "speechd.conf"), "w") as conf:
        conf.write('AddModule "filelog" "sd_generic" "filelog.conf"\n'
                   'DefaultModule filelog\n'
                   'LanguageDefaultModule "en" "filelog"\n'
                   'DefaultLanguage "en"\n'
                   'AudioOutputMethod "libao"\n')
    with open(os.path.join(modules, "filelog.conf"), "w") as conf:
        conf.write(f'GenericExecuteSynth "printf \'%s\\\\n\' \\\'$DATA\\\' >> {spoken}"\n'
                   'AddVoice "en" "MALE1" "default"\n'
                   'GenericLanguage "en" "en" "utf-8"\n')
    # libao plays nothing: the generic module's command is the only output.
    with open(os.path.join(env["HOME"], ".libao"), "w") as conf:
        conf.write("default_driver=null\n")


class Listener:
    """What Orca has said, as the lines of the spoken file."""

    def __init__(self, path):
        self.path = path
        self.heard = 0  # lines already matched

    def lines(self):
        try:
            with open(self.path, encoding="utf-8", errors="replace") as f:
                return [line.strip() for line in f if line.strip()]
        except FileNotFoundError:
            return []

    def await_texts(self, texts, seconds=20):
        """Waits until texts are said in their order after what was heard; True if they are."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            lines = self.lines()
            at = self.heard
            for text in texts:
                at = next((i + 1 for i in range(at, len(lines)) if text in lines[i]), None)
                if at is None:
                    break
            if at is not None:
                self.heard = at
                return True
            time.sleep(0.05)
        return False


def other_orcas():
    """The Orca processes of this user, which a second Orca refuses to start beside."""
    found = []
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/comm") as comm:
                if comm.read().strip() != "orca" or os.stat(f"/proc/{entry}").st_uid != os.getuid():
                    continue
            found.append(int(entry))
        except (OSError, ValueError):
            continue
    return found


def wait_for(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return False


def run(session, game, spoken, keep):
    env = session.env
    xvfb = session.start(["Xvfb", "-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen",
                          "0", "1280x1024x24"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL)
    env["DISPLAY"] = ":" + xvfb.stdout.readline().decode().strip()
    bus = session.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    session.start([BUS_LAUNCHER, "--launch-immediately"], **quiet)
    session.start(["openbox"], **quiet)

    def window_manager_runs():
        return subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                              capture_output=True, text=True).stdout.find("window id") >= 0

    if not wait_for(window_manager_runs, 20):
        return ["openbox did not start"]
    configure_speech(env, spoken)
    debug = ["--debug-file=" + os.path.join(keep, "orca-debug.txt")] if keep else []
    listener = Listener(spoken)
    deadline = time.monotonic() + 120
    while True:
        # Orca leaves at once when another of this user's runs (as another test's may).
        if not wait_for(lambda: not other_orcas(), deadline - time.monotonic()):
            return None
        orca = session.start(["orca"] + debug, **quiet)
        if listener.await_texts(["Screen reader on"], 60):
            break
        if orca.poll() is None:
            return ["Orca did not start"]

    work = os.path.join(session.scratch, "work")
    os.makedirs(work)
    session.start([game], cwd=work, **quiet)
    found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                            "^Vombel Chess V"], env=env, capture_output=True, text=True,
                           timeout=30).stdout.split()
    if not found:
        return ["the game's window did not appear"]
    subprocess.run(["xdotool", "windowactivate", "--sync", found[0]], env=env,
                   capture_output=True, timeout=30)
    if not listener.await_texts(["Vombel Chess V.2.0 frame", "a1, white rook"]):
        return ["Orca did not read the game's window and the focused square a1"]

    for key, texts in GAME:
        if key == "ctrl+o":
            shutil.copyfile(RESIGNATION, os.path.join(work, "juego.vmb"))
        subprocess.run(["xdotool", "key", key], env=env, check=True, timeout=30)
        if not listener.await_texts(texts):
            return [f"after {key}, Orca did not say {texts}"]
    time.sleep(1)  # anything said late
    said = listener.lines()
    return [f"Orca said {word!r}: {line!r}" for line in said for word in NEVER if word in line]


def main():
    args = sys.argv[1:]
    if not args or args[0].startswith("-"):
        print(__doc__, file=sys.stderr)
        return 2
    game = os.path.abspath(args[0])
    keep = os.path.abspath(args[args.index("--keep") + 1]) if "--keep" in args else None
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print(f"orca_test: skipped, missing {' '.join(missing)} (tools/setup.sh --dev installs "
              "them)")
        return 77

    scratch = tempfile.mkdtemp(prefix="vombel-orca-")
    if keep:
        os.makedirs(keep, exist_ok=True)
    spoken = os.path.join(keep or scratch, "spoken.txt")
    session = Session(scratch)
    started = time.monotonic()
    try:
        failures = run(session, game, spoken, keep)
    finally:
        session.end()
        left = session.marked()
        said = Listener(spoken).lines()
        shutil.rmtree(scratch, ignore_errors=True)
    if failures is None:
        print("orca_test: skipped, another Orca of this user ran for two minutes")
        return 77
    if left:
        failures.append(f"processes left running: {left}")
    print("Orca said:")
    for line in said:
        print("  " + line)
    print(f"{time.monotonic() - started:.1f} s")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
