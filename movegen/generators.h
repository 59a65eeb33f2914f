// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The move generator: every move of the piece on one square, handed to a callback the moment it
// is found. The two sides' moves are mirror images (the computer's pawns move towards rank 1, the
// human's towards rank 8, and the own/opposing tests swap), so one template over the side states
// the rules for both; generateComputerMoves and generateHumanMoves are its two instances. No move
// list is built, castling and en passant are never produced, promotion is left to the callback,
// and no king-safety filter is applied.
//
// The callback is a template parameter, so each instance compiles to one function with its
// callback inlined: no indirect call in the search. The step and ray loops are unrolled
// (VOMBEL_UNROLL), so every direction is a constant; the order of the moves is the same.
#pragma once

#include <cstdint>

#include "platform/hints.h"
#include "state/board.h"

namespace vombel {

// A move callback receives (toX, toY, fromX, fromY): the destination first.
using MoveCallback = void (*)(int toX, int toY, int fromX, int fromY);

// Knight jumps in generation order, as (dx, dy).
inline constexpr int kKnightSteps[8][2] = {{2, 1}, {2, -1}, {-2, -1}, {-2, 1},
                                           {1, 2}, {-1, 2}, {1, -2},  {-1, -2}};
// King steps in generation order.
inline constexpr int kKingSteps[8][2] = {{1, 1},  {-1, 1}, {-1, -1}, {1, -1},
                                         {0, -1}, {0, 1},  {-1, 0},  {1, 0}};
// Ray directions: the bishop's four, then the rook's four; the queen walks all eight in order.
inline constexpr int kRays[8][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1},
                                    {0, 1}, {0, -1}, {1, 0},  {-1, 0}};

// The two sides. The computer's pieces have positive codes and its pawns move towards rank 1; the
// human's have negative codes and its pawns move towards rank 8.
enum class Side { computer, human };

// The code of side's piece whose computer code is `code` (kPawn ... kQueen): the human's is its
// negative.
template <Side side>
constexpr std::int32_t pieceCode(std::int32_t code) {
  return side == Side::computer ? code : -code;
}
template <Side side>
inline constexpr std::int32_t kKingCode = side == Side::computer ? kComputerKing : kHumanKing;

// A piece of side may move onto a square holding t: empty or the other side's, never its own nor
// the border (2, a positive code).
template <Side side>
constexpr bool mayEnter(std::int32_t t) {
  return side == Side::computer ? t <= 0 : t != kBorder && t >= 0;
}

// t is a piece of side's opponent.
template <Side side>
constexpr bool holdsOpponent(std::int32_t t) {
  return side == Side::computer ? t < 0 : t > 0 && t != kBorder;
}

// Walks one ray from (x, y) for a piece of side: empty squares in order of distance, then the
// first piece of the opponent if one ends the ray. An own piece or the border ends it without a
// move.
template <Side side, MoveCallback callback>
inline void walkRay(int x, int y, const Board& position, int dx, int dy) {
  int ox = dx;
  int oy = dy;
  for (;;) {
    const int t = position(x + ox, y + oy);
    if (!mayEnter<side>(t)) return;
    callback(x + ox, y + oy, x, y);
    if (holdsOpponent<side>(t)) return;
    ox += dx;
    oy += dy;
  }
}

// Every move of side's piece on (x, y); nothing if the square holds anything else.
template <Side side, MoveCallback callback>
inline void generateMoves(const Board& position, int x, int y) {
  // Towards the opponent's back rank, and the rank of the pawns' double step.
  constexpr int ahead = side == Side::computer ? -1 : 1;
  constexpr int pawnRank = side == Side::computer ? 7 : 2;
  switch (position(x, y)) {
    case pieceCode<side>(kPawn):
      // Double step first, then single step, then the captures towards x + 1 and x - 1.
      if (y == pawnRank && position(x, y + ahead) == kEmpty && position(x, y + 2 * ahead) == kEmpty)
        callback(x, y + 2 * ahead, x, y);
      if (position(x, y + ahead) == kEmpty) callback(x, y + ahead, x, y);
      if (holdsOpponent<side>(position(x + 1, y + ahead))) callback(x + 1, y + ahead, x, y);
      if (holdsOpponent<side>(position(x - 1, y + ahead))) callback(x - 1, y + ahead, x, y);
      return;
    case pieceCode<side>(kKnight):
      VOMBEL_UNROLL(8)
      for (int s = 0; s < 8; ++s) {
        const int toX = x + kKnightSteps[s][0];
        const int toY = y + kKnightSteps[s][1];
        if (mayEnter<side>(position(toX, toY))) callback(toX, toY, x, y);
      }
      return;
    case pieceCode<side>(kBishop):
      VOMBEL_UNROLL(8)
      for (int r = 0; r < 4; ++r)
        walkRay<side, callback>(x, y, position, kRays[r][0], kRays[r][1]);
      return;
    case pieceCode<side>(kRook):
      VOMBEL_UNROLL(8)
      for (int r = 4; r < 8; ++r)
        walkRay<side, callback>(x, y, position, kRays[r][0], kRays[r][1]);
      return;
    case pieceCode<side>(kQueen):
      VOMBEL_UNROLL(8)
      for (const auto& r : kRays)
        walkRay<side, callback>(x, y, position, r[0], r[1]);
      return;
    case kKingCode<side>:
      VOMBEL_UNROLL(8)
      for (int s = 0; s < 8; ++s) {
        const int toX = x + kKingSteps[s][0];
        const int toY = y + kKingSteps[s][1];
        if (mayEnter<side>(position(toX, toY))) callback(toX, toY, x, y);
      }
      return;
    default:
      return;
  }
}

// The generator's two instances for each callback.
template <MoveCallback callback>
inline void generateComputerMoves(const Board& position, int x, int y) {
  generateMoves<Side::computer, callback>(position, x, y);
}
template <MoveCallback callback>
inline void generateHumanMoves(const Board& position, int x, int y) {
  generateMoves<Side::human, callback>(position, x, y);
}

}  // namespace vombel
