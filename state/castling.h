// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Castling, described once for both sides and both wings: where king and rook stand and go, the
// squares between them that must be empty, and the squares the other side's attack map must not
// mark. The human's click (game/turn_cycle.cpp) and the computer's candidates
// (search/computer_move.cpp) both read these rows.
//
// For example the human's queen side: king e1 -> c1 and rook a1 -> d1, with b1, c1 and d1
// empty, and c1, d1 and e1 out of reach of every computer piece. b1 may be attacked: the king
// never crosses it. The computer's king side also needs its rook's square h8 out of reach; the
// human's does not.
#pragma once

#include <cassert>
#include <cstdint>

#include "state/board.h"

namespace vombel {

struct Castling {
  int rank;                 // the side's back rank: 1 for the human, 8 for the computer
  std::int32_t king, rook;  // the side's codes
  int kingFrom, kingTo;     // files
  int rookFrom, rookTo;     // files
  int mustBeEmpty[3];       // files on rank that must be empty; 0 ends the list
  int unattacked[4];        // files on rank the other side must not reach; 0 ends the list
};

// clang-format off
//                                  rank  king           rook   king  rook  empty      unattacked
//                                                              from  from
//                                                                 to    to
constexpr Castling kHumanKingSide     {1, kHumanKing,   -kRook, 5, 7, 8, 6, {6, 7},    {5, 6, 7}};
constexpr Castling kHumanQueenSide    {1, kHumanKing,   -kRook, 5, 3, 1, 4, {2, 3, 4}, {3, 4, 5}};
constexpr Castling kComputerKingSide  {8, kComputerKing, kRook, 5, 7, 8, 6, {6, 7}, {5, 6, 7, 8}};
constexpr Castling kComputerQueenSide {8, kComputerKing, kRook, 5, 3, 1, 4, {2, 3, 4}, {3, 4, 5}};
// clang-format on

// True when king and rook stand on their squares of b and every square of wing.mustBeEmpty is
// empty.
inline bool castlingReady(const Board& b, const Castling& wing) {
  if (b(wing.kingFrom, wing.rank) != wing.king || b(wing.rookFrom, wing.rank) != wing.rook)
    return false;
  for (int x : wing.mustBeEmpty) {
    if (x != 0 && b(x, wing.rank) != kEmpty) return false;
  }
  return true;
}

// True when attackMap (the other side's) marks any square of wing.unattacked.
inline bool castlingAttacked(const Board& attackMap, const Castling& wing) {
  for (int x : wing.unattacked) {
    if (x != 0 && attackMap(x, wing.rank) == 1) return true;
  }
  return false;
}

// Moves king and rook of a ready castling on b.
inline void castle(Board& b, const Castling& wing) {
  assert(castlingReady(b, wing));
  b(wing.kingFrom, wing.rank) = kEmpty;
  b(wing.rookFrom, wing.rank) = kEmpty;
  b(wing.kingTo, wing.rank) = wing.king;
  b(wing.rookTo, wing.rank) = wing.rook;
}

}  // namespace vombel
