// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Forsyth-Edwards Notation (FEN) of a position, and its placement read back:
//
//   rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1
//   placement (rank 8 first, White upper case) side castling en-passant halfmoves fullmove
#pragma once

#include "state/board.h"

namespace vombel {

// The longest FEN (71 placement characters with every square named, "KQkq", three-digit
// counters) and its terminating zero fit.
inline constexpr int kFenSize = 96;

struct FenFields {
  bool blackToMove;
  int castling;        // the rights, kWhiteKingSide | ... (notation/rules.h)
  int halfmoveClock;   // half-moves since the last capture or pawn move
  int fullmoveNumber;  // the number of the next move, from 1
};

// Writes the FEN of b with these fields; the en passant field is always "-": the game has no
// en passant capture.
void writeFen(const Board& b, const FenFields& fields, char (&fen)[kFenSize]);

// Why a text is not a FEN placement, short enough for a message box line.
inline constexpr int kFenReasonSize = 80;

// Reads the placement of a FEN into b's playable squares (its border becomes 2): a whole FEN,
// or the placement alone, with blanks around it. The fields after the placement must be a
// FEN's if present, and each side may have one king at most (the game holds no more). Returns
// false with the reason, b unchanged, for anything else.
bool readFenPlacement(const char* text, Board& b, char (&reason)[kFenReasonSize]);

}  // namespace vombel
