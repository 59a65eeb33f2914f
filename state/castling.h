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
//                                         rank  king           rook    king  rook  empty      unattacked
inline constexpr Castling kHumanKingSide     {1, kHumanKing,    -kRook, 5, 7, 8, 6, {6, 7},    {5, 6, 7}};
inline constexpr Castling kHumanQueenSide    {1, kHumanKing,    -kRook, 5, 3, 1, 4, {2, 3, 4}, {3, 4, 5}};
inline constexpr Castling kComputerKingSide  {8, kComputerKing,  kRook, 5, 7, 8, 6, {6, 7},    {5, 6, 7, 8}};
inline constexpr Castling kComputerQueenSide {8, kComputerKing,  kRook, 5, 3, 1, 4, {2, 3, 4}, {3, 4, 5}};
// clang-format on

// True when king and rook stand on their squares of b and every square of c.mustBeEmpty is
// empty.
inline bool castlingReady(const Board& b, const Castling& c) {
  if (b(c.kingFrom, c.rank) != c.king || b(c.rookFrom, c.rank) != c.rook) return false;
  for (int x : c.mustBeEmpty) {
    if (x != 0 && b(x, c.rank) != kEmpty) return false;
  }
  return true;
}

// True when attackMap (the other side's) marks any square of c.unattacked.
inline bool castlingAttacked(const Board& attackMap, const Castling& c) {
  for (int x : c.unattacked) {
    if (x != 0 && attackMap(x, c.rank) == 1) return true;
  }
  return false;
}

// Moves king and rook of a ready castling on b.
inline void castle(Board& b, const Castling& c) {
  assert(castlingReady(b, c));
  b(c.kingFrom, c.rank) = kEmpty;
  b(c.rookFrom, c.rank) = kEmpty;
  b(c.kingTo, c.rank) = c.king;
  b(c.rookTo, c.rank) = c.rook;
}

}  // namespace vombel
