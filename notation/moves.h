// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What happened between two recorded positions. The history holds whole positions only, so the
// half-move between entries i - 1 and i is found by comparing them: one move of either side by
// the game's own move rules (the generators, castling from placement, a pawn promoted to a
// queen on its last rank), the computer's resignation (the position recorded again unchanged),
// or anything else, which only set-up mode makes: a set-up change.
#pragma once

#include <cstdint>

#include "state/board.h"

namespace vombel {

// The two sides by the sign of their codes: the human plays White (negative codes), the computer
// Black (positive codes but the border's 2).
constexpr bool isWhitePiece(std::int32_t code) {
  return code < 0;
}
constexpr bool isBlackPiece(std::int32_t code) {
  return code > 0 && code != kBorder;
}
constexpr bool belongsTo(std::int32_t code, bool black) {
  return black ? isBlackPiece(code) : isWhitePiece(code);
}

enum class EntryKind : std::uint8_t {
  start,        // history entry 0: no half-move leads to it
  move,         // one move of a piece, a capture or a promotion among them
  castling,     // king and rook of one side castled
  setUp,        // not one move of the game's rules: a change made in set-up mode
  resignation,  // the computer resigned: the position was recorded again unchanged
};

struct HalfMove {
  EntryKind kind;
  bool black;                          // moved by Black, the computer; false: White, the human
  std::int8_t fromX, fromY, toX, toY;  // the piece's squares; castling: the king's
  std::int32_t piece;                  // the moving code before the move (castling: the king)
  std::int32_t captured;               // the code taken on (toX, toY); 0 when none
  bool promotion;                      // a pawn reached its last rank and became a queen
};

// The half-move that turns before into after (only their playable squares are compared).
HalfMove findHalfMove(const Board& before, const Board& after);

// True when the game's move generator moves the piece on (fromX, fromY) of b to (toX, toY).
bool generatorMoves(const Board& b, int fromX, int fromY, int toX, int toY);

// Plays move (kind move) on b: the piece goes to its square, a pawn on its last rank becomes a
// queen. No castling.
void playMove(Board& b, int fromX, int fromY, int toX, int toY);

// True when a pawn of that side on rank y stands on its last rank.
constexpr bool lastRank(bool black, int y) {
  return y == (black ? 1 : 8);
}

}  // namespace vombel
