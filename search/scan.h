// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The square loops that run a ply's generator over the pieces of the side to move.
#pragma once

#include <bit>
#include <cstdint>

#include "movegen/generators.h"
#include "state/board.h"
#include "state/state.h"

namespace vombel {

enum class Ranks { upward, downward };  // y = 1 to 8, or y = 8 down to 1; x is always 1 to 8

template <Side side>
inline bool ownsSquare(std::int32_t code) {
  return side == Side::computer ? code > 0 : code < 0;
}

// Runs generate on every square of b holding a piece of side, ranks in the given direction and
// files 1 to 8 within each rank.
template <Side side, Ranks ranks, void (*generate)(const Board&, int, int)>
inline void scanSquares(const Board& b) {
  for (int i = 1; i <= 8; ++i) {
    const int y = ranks == Ranks::upward ? i : 9 - i;
    for (int x = 1; x <= 8; ++x) {
      if (ownsSquare<side>(b(x, y))) generate(b, x, y);
    }
  }
}

// The squares of b holding a piece of side, as squareBit bits.
template <Side side>
inline std::uint64_t pieceSquares(const Board& b) {
  std::uint64_t squares = 0;
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y) {
      if (ownsSquare<side>(b(x, y))) squares |= squareBit(x, y);
    }
  }
  return squares;
}

// Reverses the order of the eight bytes of a squareBit set, which reverses the order of its ranks:
// ascending bits then visit ranks 1 to 8. Compilers turn the three swaps into one instruction.
constexpr std::uint64_t reverseRanks(std::uint64_t s) {
  s = ((s & 0x00FF00FF00FF00FFull) << 8) | ((s >> 8) & 0x00FF00FF00FF00FFull);
  s = ((s & 0x0000FFFF0000FFFFull) << 16) | ((s >> 16) & 0x0000FFFF0000FFFFull);
  return (s << 32) | (s >> 32);
}
static_assert(reverseRanks(squareBit(1, 8)) == squareBit(1, 1));
static_assert(reverseRanks(squareBit(8, 2)) == squareBit(8, 7));

// The cut-off loop: runs generate on every square of b holding a piece of the side to move, in
// the order of ranks, and after every square visited, whether or not it held a piece, a set
// cutoffFlag is cleared and ends the whole loop. Moves of the piece being expanded are always
// completed. pieces holds the squares of the side's pieces (squareBit bits), so the loop jumps
// from piece to piece: only a generator run can set the flag, and with the flag clear a square
// without a piece does nothing. Only the first square is tested on its own, as the flag may
// arrive set from a cut-off signalled above.
template <Ranks ranks, void (*generate)(const Board&, int, int)>
inline void scanPiecesWithCutoff(const Board& b, std::uint64_t pieces) {
  if (ranks == Ranks::upward) pieces = reverseRanks(pieces);
  if (cutoffFlag != kFlagClear && (pieces & 1) == 0) {
    cutoffFlag = kFlagClear;
    return;
  }
  while (pieces != 0) {
    const int i = std::countr_zero(pieces);
    pieces &= pieces - 1;
    generate(b, (i & 7) + 1, ranks == Ranks::upward ? (i >> 3) + 1 : 8 - (i >> 3));
    if (cutoffFlag != kFlagClear) {
      cutoffFlag = kFlagClear;
      return;
    }
  }
}

// Runs generate on all 64 squares, files outer and ranks inner (the fallback's order); the
// generator itself ignores squares without a piece of its side.
template <void (*generate)(const Board&, int, int)>
inline void scanFilesThenRanks(const Board& b) {
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y)
      generate(b, x, y);
  }
}

// Runs generate on all 64 squares, ranks outer (1 to 8) and files inner.
template <void (*generate)(const Board&, int, int)>
inline void scanRanksThenFiles(const Board& b) {
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x)
      generate(b, x, y);
  }
}

}  // namespace vombel
