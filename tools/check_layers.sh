#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a product folder includes a header from a folder above it. The floors, bottom first:
#
#   platform  the window's controls as plain state, the seam to the desktop, compiler hints
#   files     files and folders other users may share, the signals that end the program
#   state     the board, every module-level variable, board operations, painting, history, new game
#   movegen   the two move generators and the squares they reach as sets
#   eval      material sum, positional evaluation, orderings, repetition test
#   search    the computer's turn: the generators' per-ply instances, plies, fallback search
#   notation  the game in chess notation: moves from the history, SAN, FEN, PGN
#   game      the turn cycle, the window's event handlers, the saved-game file
#   window    the Qt window (the only floor that includes Qt)
#
# A floor may include its own folder and any folder below it. tools/, tests/, bench/ and fuzz/
# stand outside the building and may include any floor.
#
# The build already stops a call up a floor: each floor is its own library, linked only with those
# below it (CMakeLists.txt). What needs no link it cannot see: a header from above included for its
# types, constants, inline functions or templates (movegen/ is nothing else), and a Qt header in a
# game-logic header that only window/ code includes. Both are checked here.
set -euo pipefail
cd "$(dirname "$0")/.."

floors=(platform files state movegen eval search notation game window)
declare -A level
for i in "${!floors[@]}"; do level[${floors[$i]}]=$i; done

bad=0
for floor in "${floors[@]}"; do
  while IFS= read -r file; do
    while IFS=: read -r line target; do
      dir=${target%%/*}
      [ -n "${level[$dir]+x}" ] || continue # a header of no floor: the standard library, Qt
      if [ "${level[$dir]}" -gt "${level[$floor]}" ]; then
        echo "$file:$line: includes $target, a floor above $floor/"
        bad=1
      fi
    done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
      sed 's/^\([0-9]*\):.*"\([^"]*\)".*/\1:\2/')
  done < <(find "$floor" -name '*.h' -o -name '*.cpp' | sort)
done
# The game logic never includes Qt: only window/ may.
if grep -rn --include='*.h' --include='*.cpp' -E '#[[:space:]]*include[[:space:]]*<Q' \
  "${floors[@]:0:${#floors[@]}-1}"; then
  echo "Qt included below window/"
  bad=1
fi
[ "$bad" = 0 ] && echo "layers: every include runs down (${floors[*]})"
exit "$bad"
