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

#include "state/state.h"

namespace vombel {

inline constexpr const char* kGameFileName = "juego.vmb";

// The longest line written is a king's cell, "-10000 \r\n" (9 bytes), so the largest saved game,
// the counter and 301 entries of 144 cells, has (1 + 301 * 144) * 9 = 390105 bytes. A reader also
// takes hand-edited files with extra blanks; four times that is far beyond any of them, and a
// larger file is refused before it is read.
inline constexpr long kLargestSavedGame = (1L + (kMaxHistory + 1) * 144L) * 9L;
inline constexpr long kLargestGameFile = 4 * kLargestSavedGame;

// Writes the counter and history entries 0..moveNumber to path, replacing it only once the new
// text is complete and on disk: a failed save keeps the old file and leaves no other. A path that
// is a symbolic link stays one, and the file it points to is replaced; a link of another user
// (but root) is refused, as is a file the user may not write. False on failure (see
// gameFileReason).
bool saveGameFile(const char* path);

// Reads path and, only if it is a regular file holding a valid game (counter 0..300, exactly
// enough numbers, border cells 2, playable cells holding piece codes), takes it in: every entry
// and moveNumber, then historia moved to the last entry and the history handler run. Otherwise
// changes nothing and returns false; it never waits on a FIFO or device, never reads more than
// kLargestGameFile bytes and follows links only as saveGameFile does.
bool loadGameFile(const char* path);

// Why the last saveGameFile or loadGameFile that returned false failed: the errno value of the
// system call that failed (ENOENT: there is no such file or folder), or 0 when the file was
// refused for what it is or what it holds.
int gameFileError();

// The same reason in the user's words: strerror's text, or "not a regular file", "too large for
// a saved game", "not a saved game", "NAME is a link owned by another user".
const char* gameFileReason();

// Makes an exceeded file-size limit (ulimit -f) a save that fails with EFBIG and is told, instead
// of a signal that ends the program. Called first thing at start-up.
void ignoreFileSizeSignal();

}  // namespace vombel
