// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The saved-game file: plain text, one number per line, lines ended by CR LF. The first line is
// the move counter n, then the 144 cells of history entries 0..n, each entry row y = -1 first and
// each row from x = -1 to 10. A non-negative value is preceded by a space, and every value is
// followed by one:
//
//    12 \r\n      <- the counter
//    2 \r\n       <- entry 0, cell (-1, -1)
//   ...
//   -10000 \r\n   <- entry 0, cell (5, 1)
#pragma once

#include "files/safe_file.h"
#include "state/state.h"

namespace vombel {

inline constexpr const char* kGameFileName = "juego.vmb";

// The longest line written is a king's cell, "-10000 \r\n" (9 bytes), so the largest saved game,
// the counter and 301 entries of 144 cells, has (1 + 301 * 144) * 9 = 390105 bytes. A reader also
// takes hand-edited files with extra blanks; four times that is far beyond any of them, and a
// larger file is refused before it is read.
inline constexpr long kLargestSavedGame = (1L + (kMaxHistory + 1) * 144L) * 9L;
inline constexpr long kLargestGameFile = 4 * kLargestSavedGame;

// Writes the counter and history entries 0..moveNumber to path (relative to from), replacing it
// only once the new text is complete and on disk, as replaceFile does.
FileResult saveGameFile(const char* path, int from = kCurrentFolder);

// Writes the whole game to path as saveGameFile does, but every recorded entry, 0..historia.max,
// however far back the scroll bar is; when the board on display is the last entry, the board
// itself is written for it, so a piece moved in set-up since it was recorded is kept too.
FileResult saveWholeGameFile(const char* path, int from = kCurrentFolder);

// Reads path (relative to from) and, only if it is a regular file holding a valid game (counter
// 0..300, exactly enough numbers, border cells 2, playable cells holding piece codes), keeps it
// for takeInReadGame; the game itself is not touched. It never waits on a FIFO or device, never
// reads more than kLargestGameFile bytes and follows links only as replaceFile does. Refusals:
// "not a regular file", "too large for a saved game", "not a saved game".
FileResult readGameFile(const char* path, int from = kCurrentFolder);

// Takes in the game the last successful readGameFile read: every entry and moveNumber, then
// historia moved to the last entry and the history handler run.
void takeInReadGame();

// readGameFile, then takeInReadGame if it succeeded: the game changes only when all of it is
// valid.
FileResult loadGameFile(const char* path, int from = kCurrentFolder);

}  // namespace vombel
