// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "eval/evaluation.h"

#include <cmath>
#include <cstddef>

#include "state/board_ops.h"
#include "state/state.h"

namespace vombel {

std::int32_t wholeMaterialSum(const Board& position) {
  std::int32_t sum = 0;
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x)
      sum += position(x, y);
  }
  return sum;
}

float materialSum(const Board& position) {
  // Codes are whole numbers far below 2^24, so an integer sum converts to the exact float sum.
  return static_cast<float>(wholeMaterialSum(position));
}

namespace {

// V = V + term, computed in double precision and rounded back to single precision.
inline void add(float& v, double term) {
  v = static_cast<float>(static_cast<double>(v) + term);
}

// 1 / (1 + d), d the distance from (x, y) to (px, py).
inline double closeness(int x, int y, double px, double py) {
  const double dx = px - x;
  const double dy = py - y;
  return 1.0 / (1.0 + std::sqrt(dx * dx + dy * dy));
}

// A bonus the computer earns for a piece on a given square in one phase of the game, and
// optionally only while a second square holds a second piece (second.x == 0: no second square).
struct Square {
  int x, y;
};
struct SquareBonus {
  Square at;
  std::int32_t code;
  double bonus;
  Square second;
  std::int32_t secondCode;
};

// The bonus squares of each phase that has them (kOpeningMoves, kMiddlegame), written as the
// squares of the board: file a..h is x = 1..8, rank 1..8 is y = 1..8, the computer (black) plays
// down the board from rank 8. Each row is added in the order listed (the order matters to the
// last bit of the float score). For example, in phase 1, after the human opened 1. e4, the reply
// ...e5 puts a pawn on e5 (x 5, y 5) facing the human's pawn on e4: rows e5 and "e5 facing e4"
// give 1.0 + 0.2; ...d5 earns only the d5 row, 1.0 (no human pawn on d4); ...e6 earns 0.8.
// clang-format off
constexpr SquareBonus kPhase1Bonuses[] = {
  {{4, 5}, kPawn,   1.0, {}, 0},             // d5: a centre pawn
  {{5, 5}, kPawn,   1.0, {}, 0},             // e5
  {{4, 6}, kPawn,   0.8, {}, 0},             // d6: a centre pawn one step forward
  {{5, 6}, kPawn,   0.8, {}, 0},             // e6
  {{4, 5}, kPawn,   0.2, {4, 4}, -kPawn},    // d5 facing a human pawn on d4
  {{5, 5}, kPawn,   0.2, {5, 4}, -kPawn},    // e5 facing a human pawn on e4
  {{6, 6}, kBishop, 0.9, {}, 0},             // f6
  {{3, 6}, kBishop, 0.9, {}, 0},             // c6
};
constexpr SquareBonus kPhase2Bonuses[] = {
  {{4, 6}, kPawn,   1.0, {}, 0},             // d6
  {{5, 6}, kPawn,   1.0, {}, 0},             // e6
  {{6, 6}, kKnight, 0.9, {}, 0},             // f6: the king's knight developed
  {{3, 6}, kKnight, 0.9, {}, 0},             // c6: the queen's knight developed
};
constexpr SquareBonus kPhase3Bonuses[] = {
  {{6, 6}, kKnight, 1.2, {}, 0},             // f6
  {{3, 6}, kKnight, 1.0, {}, 0},             // c6
};
constexpr SquareBonus kMiddlegameBonuses[] = {
  {{6, 6}, kKnight, 1.3, {}, 0},             // f6
  {{3, 6}, kKnight, 1.0, {}, 0},             // c6
  {{4, 5}, kPawn,   1.0, {}, 0},             // d5
  {{5, 5}, kPawn,   1.0, {}, 0},             // e5
  {{4, 6}, kPawn,   1.0, {}, 0},             // d6
  {{5, 6}, kPawn,   1.0, {}, 0},             // e6
  {{7, 8}, kComputerKing, 5.0, {6, 8}, kRook},  // king g8 beside rook f8: castled king side
  {{3, 8}, kComputerKing, 5.0, {4, 8}, kRook},  // king c8 beside rook d8: castled queen side
};
// clang-format on

// Adds every bonus of table that p earns, in the table's order.
template <std::size_t n>
inline void addBonuses(float& v, const Board& p, const SquareBonus (&table)[n]) {
  for (const SquareBonus& b : table) {
    if (p(b.at.x, b.at.y) != b.code) continue;
    if (b.second.x != 0 && p(b.second.x, b.second.y) != b.secondCode) continue;
    add(v, b.bonus);
  }
}

}  // namespace

float evaluatePosition(const Board& p) {
  float v = 0.0f;
  const int phase = gamePhase;
  const double kingX = humanKingX;
  const double kingY = humanKingY;
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      const std::int32_t code = p(x, y);
      add(v, code);
      switch (phase) {
        case 1:
        case 2:
        case 3:
          // Opening: the human's pieces count a little less the closer they come to the middle
          // of the computer's back rank.
          if (code < 0) add(v, -closeness(x, y, 4.5, 8.0));
          break;
        case kMiddlegame:
          // Middlegame: minor pieces forward, pieces central, the king at home.
          if (code == kKnight) add(v, 1.0 / (1.0 + std::fabs(3.5 - y)));
          if (code == kBishop) add(v, 1.0 / (1.0 + std::fabs(3.5 - y)));
          if (code > kPawn) add(v, closeness(x, y, 4.5, 4.5));
          if (code == kComputerKing) add(v, y);
          break;
        case kEndgame:
          // Endgame: pawns advance, pieces close in on the human's king.
          if (code == kPawn) add(v, 2.0 / y);
          if (code > kPawn && code < kBelowKings) add(v, closeness(x, y, kingX, kingY));  // no king
          break;
        default:
          break;
      }
    }
  }
  switch (phase) {
    case 1:
      addBonuses(v, p, kPhase1Bonuses);
      break;
    case 2:
      addBonuses(v, p, kPhase2Bonuses);
      break;
    case 3:
      addBonuses(v, p, kPhase3Bonuses);
      break;
    case kMiddlegame:
      addBonuses(v, p, kMiddlegameBonuses);
      break;
    default:
      break;
  }
  return v;
}

}  // namespace vombel
