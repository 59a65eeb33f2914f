#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# desktop_start_test.sh GAME SOURCE_DIR: starts the game as the desktop entry does (its Exec line)
# in a virtual X server, with XDG_DATA_HOME in a scratch folder whose parents are missing:
#  - the window's class (WM_CLASS) is the entry's StartupWMClass and the entry's id;
#  - Ctrl+S saves juego.vmb in $XDG_DATA_HOME/vombel-chess, made with mode 0700, and not in the
#    folder the game was started in;
#  - without an absolute XDG_DATA_HOME, ~/.local/share/vombel-chess, an existing one unchanged;
#  - a data folder that cannot be made is told, and the game still opens its window;
#  - the state folder, for the last game, is made with mode 0700 too.
set -euo pipefail
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# Under AddressSanitizer (the sanitizer build's tests): strict string checks want a NUL after the
# bytes strndup copies, which the keymap names libxkbcommon-x11 reads from the X server (for Qt's
# X11 platform) lack; strndup itself stays within them.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0
game=$(realpath "$1")
entry=$2/window/io.github.vombel.chess.desktop
work=$(mktemp -d)
xvfb=
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# A virtual X server of the test's own. It takes the first free display and writes its number on
# the descriptor -displayfd names once it accepts clients, so tests that start one at the same
# time never race for a display.
mkfifo "$work/display"
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" \
  >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 30 display <"$work/display" || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=:$display

exec_line=$(sed -n 's/^Exec=//p' "$entry")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
desktop_id=$(basename "$entry" .desktop)
[ "$wm_class" = "$desktop_id" ] || fail "StartupWMClass '$wm_class' is not the desktop id"
read -r -a words <<<"$exec_line"
[ "${words[0]}" = vombel-chess ] || fail "the entry starts '${words[0]}'"
options=("${words[@]:1}")

# Waits up to 30 s for the game's main window (by its caption) and prints its id.
game_window() {
  local id
  for _ in $(seq 60); do
    id=$(xdotool search --onlyvisible --name '^Vombel Chess V' 2>/dev/null | head -n 1) || true
    if [ -n "$id" ]; then echo "$id"; return; fi
    sleep 0.5
  done
  fail "no game window"
}

# Starts the game from $1 as the menu does, in the background; its output goes to $work/log.
start_game() {
  (cd "$1" && exec "$game" "${options[@]}") >"$work/log" 2>&1 &
  pid=$!
}

# Presses Ctrl+S in window $1 and waits up to 30 s for the saved game $2; then ends the game.
save_and_stop() {
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers ctrl+s
  for _ in $(seq 60); do
    [ -s "$2" ] && break
    sleep 0.5
  done
  stop_game
  [ -s "$2" ] || { cat "$work/log"; fail "nothing saved in $2"; }
}

stop_game() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# 1. A first start: the data folder and its missing parents are made, and Save writes there.
mkdir "$work/start"
export XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
start_game "$work/start"
window=$(game_window)
class=$(xprop -id "$window" WM_CLASS)
[ "$class" = "WM_CLASS(STRING) = \"vombel-chess\", \"$wm_class\"" ] ||
  { stop_game; fail "window class: $class"; }
save_and_stop "$window" "$XDG_DATA_HOME/vombel-chess/juego.vmb"
[ ! -e "$work/start/juego.vmb" ] || fail "saved in the folder the game started in"
for folder in "$work/home" "$work/home/.local" "$XDG_DATA_HOME" "$XDG_DATA_HOME/vombel-chess"; do
  [ "$(stat -c %a "$folder")" = 700 ] || fail "$folder has mode $(stat -c %a "$folder")"
done
[ "$(stat -c %a "$XDG_STATE_HOME/vombel-chess")" = 700 ] || fail "the state folder is not 0700"
echo "saved in the data folder: $(stat -c '%a %n' "$XDG_DATA_HOME/vombel-chess")"

# 2. XDG_DATA_HOME not an absolute path: the folder under HOME, which exists and keeps its mode.
export HOME=$work/other-home XDG_DATA_HOME=relative/share
mkdir -p -m 750 "$HOME/.local/share/vombel-chess"
start_game "$work/start"
save_and_stop "$(game_window)" "$HOME/.local/share/vombel-chess/juego.vmb"
[ "$(stat -c %a "$HOME/.local/share/vombel-chess")" = 750 ] ||
  fail "the existing data folder's mode changed"

# 3. A data folder that cannot be made (a file stands in the way): told on standard error and
# in a warning box, and the window still opens.
touch "$work/in-the-way"
export XDG_DATA_HOME=$work/in-the-way
start_game "$work/start"
game_window >/dev/null
boxes=""
for _ in $(seq 60); do
  boxes=$(xdotool search --onlyvisible --name '^Vombel Chess$' 2>/dev/null) && break
  sleep 0.5
done
stop_game
[ -n "$boxes" ] || fail "no warning box"
told="The data folder $work/in-the-way/vombel-chess cannot be used: Not a directory. Save and Open"
told+=" use the folder $work/start instead."
grep -qF "$told" "$work/log" ||
  { cat "$work/log"; fail "the failure is not told on standard error"; }
echo "a data folder that cannot be made is told"
