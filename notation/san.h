// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Standard algebraic notation (SAN) of a half-move: "e4", "Nbd2", "R1a3", "Qh4xe1", "exd8=Q+",
// "O-O-O", "Qf7#".
#pragma once

#include "notation/moves.h"
#include "state/board.h"

namespace vombel {

// The longest SAN, "Qh4xe1+" or "exd8=Q#", and its terminating zero.
inline constexpr int kSanSize = 8;

// Writes the SAN of m (kind move or castling), which turns before into after:
//  - the piece's letter (none for a pawn); when another piece of the same kind could also move
//    to the square, the origin's file, else its rank, else both. Such a rival counts when the
//    game's generator moves it there and, if its side has one king, the move leaves that king
//    out of check: the legal moves of standard chess wherever the position is one;
//  - "x" for a capture, a pawn's capture with its file ("exd5"); then the square;
//  - "=Q" for a promotion; "O-O" and "O-O-O" for castling;
//  - "+" when the move leaves the other side's king attacked, "#" when that side then has no
//    legal move either (en passant included): checkmate.
// Any other kind writes "".
void writeSan(const Board& before, const Board& after, const HalfMove& m, char (&san)[kSanSize]);

// The square's name, "e4", into name.
void writeSquare(int x, int y, char (&name)[3]);

}  // namespace vombel
