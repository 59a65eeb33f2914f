// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The board: a 12 x 12 array of piece codes indexed (x, y) from -1 to 10.
//
// x is the file, y the rank; the playable squares are 1..8 x 1..8. A border two cells deep holds
// the value 2 on every side, so a knight's jump or a pawn's double step from any playable square
// still lands inside the array and no generator ever tests coordinates.
//
//   y=10  2  2  2  2  2  2  2  2  2  2  2  2
//   y= 9  2  2  2  2  2  2  2  2  2  2  2  2
//   y= 8  2  2 50 30 32 90 15000 ... 50  2  2     <- the computer's back rank
//   ...
//   y= 1  2  2 -50 -30 -32 -90 -10000 ... 2  2    <- the human's back rank
//   y= 0  2  2  2  2 ...
//   y=-1  2  2  2  2 ...
//        x=-1  0  1  2  3  4  5  6  7  8  9 10
#pragma once

#include <cassert>
#include <cstdint>

namespace vombel {

// Piece codes. Positive codes are the computer's (black), negative the human's (white); the
// absolute value is the piece's material weight. The kings differ on purpose: the material sum of
// the start position is +5000, negative once the computer's king is gone, above 10000 once the
// human's king is gone.
inline constexpr std::int32_t kEmpty = 0;
inline constexpr std::int32_t kBorder = 2;
inline constexpr std::int32_t kPawn = 10;
inline constexpr std::int32_t kKnight = 30;
inline constexpr std::int32_t kBishop = 32;
inline constexpr std::int32_t kRook = 50;
inline constexpr std::int32_t kQueen = 90;
inline constexpr std::int32_t kComputerKing = 15000;
inline constexpr std::int32_t kHumanKing = -10000;
// Every code below this in absolute value is not a king: the queen, 90, is the heaviest piece
// after the kings.
inline constexpr std::int32_t kBelowKings = 100;

inline constexpr int kLow = -1;   // lowest index of either coordinate
inline constexpr int kHigh = 10;  // highest index of either coordinate

// A board-shaped array. Cells are stored file by file, so the eight playable cells of one file
// are contiguous. b(x, y) reads or writes the cell of file x and rank y.
struct Board {
  std::int32_t cell[12][12];

  constexpr std::int32_t& operator()(int x, int y) {
    assert(x >= kLow && x <= kHigh && y >= kLow && y <= kHigh);
    return cell[x + 1][y + 1];
  }
  constexpr const std::int32_t& operator()(int x, int y) const {
    assert(x >= kLow && x <= kHigh && y >= kLow && y <= kHigh);
    return cell[x + 1][y + 1];
  }
};

// True for the thirteen codes a playable square may hold.
constexpr bool isPieceCodeOrEmpty(std::int32_t v) {
  switch (v) {
    case kEmpty:
    case kPawn:
    case -kPawn:
    case kKnight:
    case -kKnight:
    case kBishop:
    case -kBishop:
    case kRook:
    case -kRook:
    case kQueen:
    case -kQueen:
    case kComputerKing:
    case kHumanKing:
      return true;
    default:
      return false;
  }
}

constexpr bool isPlayable(int x, int y) {
  return x >= 1 && x <= 8 && y >= 1 && y <= 8;
}

// Screen index a = 0..63 numbers the square controls row by row from the top-left square (1, 8):
// a = (8 - y) * 8 + (x - 1). So 0 is (1, 8), 7 is (8, 8), 56 is (1, 1) and 63 is (8, 1).
constexpr int screenIndex(int x, int y) {
  return (8 - y) * 8 + (x - 1);
}
// For a = 0..63 the bit operations equal a % 8 and a / 8, without the sign fix-ups of a division.
constexpr int screenFile(int a) {
  assert(a >= 0 && a < 64);
  return (a & 7) + 1;
}
constexpr int screenRank(int a) {
  assert(a >= 0 && a < 64);
  return 8 - (a >> 3);
}

// The square (x, y) as one bit of a 64-bit set of squares, numbered by the screen index. Ascending
// bits visit the ranks 8 down to 1 and, within each, the files 1 to 8.
constexpr std::uint64_t squareBit(int x, int y) {
  return std::uint64_t{1} << screenIndex(x, y);
}

}  // namespace vombel
