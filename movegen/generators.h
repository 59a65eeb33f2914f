// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The two move generators: every move of the piece on one square, handed to a callback the moment
// it is found. They are mirror images: the computer's pawns move towards rank 1, the human's
// towards rank 8, and the own/opposing tests swap. No move list is built, castling and en passant
// are never produced, promotion is left to the callback, and no king-safety filter is applied.
//
// The callback is a template parameter, so each instance compiles to one function with its
// callback inlined: no indirect call in the search. The step and ray loops are unrolled
// (VOMBEL_UNROLL), so every direction is a constant; the order of the moves is the same.
#pragma once

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

// Walks one ray from (x, y) for a computer piece: empty squares in order of distance, then the
// first human piece if one ends the ray. An own piece or the border ends it without a move.
template <MoveCallback callback>
inline void walkComputerRay(int x, int y, const Board& position, int dx, int dy) {
  int ox = dx;
  int oy = dy;
  for (;;) {
    const int t = position(x + ox, y + oy);
    if (t == kBorder || t > 0) return;
    callback(x + ox, y + oy, x, y);
    if (t < 0) return;
    ox += dx;
    oy += dy;
  }
}

// The human's mirror image of walkComputerRay: any positive code but the border is a capture.
template <MoveCallback callback>
inline void walkHumanRay(int x, int y, const Board& position, int dx, int dy) {
  int ox = dx;
  int oy = dy;
  for (;;) {
    const int t = position(x + ox, y + oy);
    if (t == kBorder || t < 0) return;
    callback(x + ox, y + oy, x, y);
    if (t > 0) return;
    ox += dx;
    oy += dy;
  }
}

// Every move of the computer piece on (x, y); nothing if the square holds anything else.
template <MoveCallback callback>
inline void generateComputerMoves(const Board& position, int x, int y) {
  switch (position(x, y)) {
    case kPawn:
      // Double step first, then single step, then the captures towards x + 1 and x - 1.
      if (y == 7 && position(x, 6) == kEmpty && position(x, 5) == kEmpty) callback(x, 5, x, y);
      if (position(x, y - 1) == kEmpty) callback(x, y - 1, x, y);
      if (position(x + 1, y - 1) < 0) callback(x + 1, y - 1, x, y);
      if (position(x - 1, y - 1) < 0) callback(x - 1, y - 1, x, y);
      return;
    case kKnight:
      VOMBEL_UNROLL(8)
      for (const auto& s : kKnightSteps) {
        if (position(x + s[0], y + s[1]) <= 0) callback(x + s[0], y + s[1], x, y);
      }
      return;
    case kBishop:
      VOMBEL_UNROLL(8)
      for (int r = 0; r < 4; ++r)
        walkComputerRay<callback>(x, y, position, kRays[r][0], kRays[r][1]);
      return;
    case kRook:
      VOMBEL_UNROLL(8)
      for (int r = 4; r < 8; ++r)
        walkComputerRay<callback>(x, y, position, kRays[r][0], kRays[r][1]);
      return;
    case kQueen:
      VOMBEL_UNROLL(8)
      for (const auto& r : kRays)
        walkComputerRay<callback>(x, y, position, r[0], r[1]);
      return;
    case kComputerKing:
      VOMBEL_UNROLL(8)
      for (const auto& s : kKingSteps) {
        if (position(x + s[0], y + s[1]) <= 0) callback(x + s[0], y + s[1], x, y);
      }
      return;
    default:
      return;
  }
}

// Every move of the human piece on (x, y); nothing if the square holds anything else.
template <MoveCallback callback>
inline void generateHumanMoves(const Board& position, int x, int y) {
  // A human piece may step onto an empty square or any computer piece, never onto the border.
  const auto open = [](int t) { return t != kBorder && t >= 0; };
  switch (position(x, y)) {
    case -kPawn: {
      if (y == 2 && position(x, 3) == kEmpty && position(x, 4) == kEmpty) callback(x, 4, x, y);
      if (position(x, y + 1) == kEmpty) callback(x, y + 1, x, y);
      const int right = position(x + 1, y + 1);
      if (right > 0 && right != kBorder) callback(x + 1, y + 1, x, y);
      const int left = position(x - 1, y + 1);
      if (left > 0 && left != kBorder) callback(x - 1, y + 1, x, y);
      return;
    }
    case -kKnight:
      VOMBEL_UNROLL(8)
      for (const auto& s : kKnightSteps) {
        if (open(position(x + s[0], y + s[1]))) callback(x + s[0], y + s[1], x, y);
      }
      return;
    case -kBishop:
      VOMBEL_UNROLL(8)
      for (int r = 0; r < 4; ++r)
        walkHumanRay<callback>(x, y, position, kRays[r][0], kRays[r][1]);
      return;
    case -kRook:
      VOMBEL_UNROLL(8)
      for (int r = 4; r < 8; ++r)
        walkHumanRay<callback>(x, y, position, kRays[r][0], kRays[r][1]);
      return;
    case -kQueen:
      VOMBEL_UNROLL(8)
      for (const auto& r : kRays)
        walkHumanRay<callback>(x, y, position, r[0], r[1]);
      return;
    case kHumanKing:
      VOMBEL_UNROLL(8)
      for (const auto& s : kKingSteps) {
        if (open(position(x + s[0], y + s[1]))) callback(x + s[0], y + s[1], x, y);
      }
      return;
    default:
      return;
  }
}

}  // namespace vombel
