// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The squares a human piece can move to, all at once, as a 64-bit set of squares (squareBit bits:
// bit a is the square of screen index a, so rank 8 is bits 0..7 and rank 1 bits 56..63). They are
// exactly the destinations that generateHumanMoves hands to its callback one by one, gathered from
// tables built from the generator's own step and ray lists. The generator stays the statement of
// the rules; tests compare the two square by square. A piece never reaches one square twice, so
// the number of its moves is the number of bits in its set.
#pragma once

#include <bit>
#include <cstdint>
#include <type_traits>

#include "movegen/generators.h"
#include "state/board.h"

namespace vombel {

namespace targets_detail {

struct Tables {
  std::uint64_t knight[64];  // the knight's jumps from each square that stay on the board
  std::uint64_t king[64];    // the king's steps likewise
  // ray[r][a]: every square from a along kRays[r] to the edge, a itself excluded.
  std::uint64_t ray[8][64];
  // rayTo[a][b]: the ray r from a whose squares hold b, or -1 when no ray from a passes b.
  std::int8_t rayTo[64][64];
  // knightTo[a][s], kingTo[a][s]: the square of step s (in generation order) from a, or -1 when
  // it leaves the board.
  std::int8_t knightTo[64][8];
  std::int8_t kingTo[64][8];
};

constexpr Tables makeTables() {
  Tables t{};
  for (int a = 0; a < 64; ++a) {
    const int x = screenFile(a);
    const int y = screenRank(a);
    for (int s = 0; s < 8; ++s) {
      const int knightX = x + kKnightSteps[s][0];
      const int knightY = y + kKnightSteps[s][1];
      t.knightTo[a][s] = static_cast<std::int8_t>(
          isPlayable(knightX, knightY) ? screenIndex(knightX, knightY) : -1);
      const int kingX = x + kKingSteps[s][0];
      const int kingY = y + kKingSteps[s][1];
      t.kingTo[a][s] =
          static_cast<std::int8_t>(isPlayable(kingX, kingY) ? screenIndex(kingX, kingY) : -1);
      if (t.knightTo[a][s] >= 0) t.knight[a] |= std::uint64_t{1} << t.knightTo[a][s];
      if (t.kingTo[a][s] >= 0) t.king[a] |= std::uint64_t{1} << t.kingTo[a][s];
      for (int k = 1; isPlayable(x + k * kRays[s][0], y + k * kRays[s][1]); ++k)
        t.ray[s][a] |= squareBit(x + k * kRays[s][0], y + k * kRays[s][1]);
    }
    for (int b = 0; b < 64; ++b) {
      t.rayTo[a][b] = -1;
      for (int r = 0; r < 8; ++r) {
        if (((t.ray[r][a] >> b) & 1) != 0) t.rayTo[a][b] = static_cast<std::int8_t>(r);
      }
    }
  }
  return t;
}

inline constexpr Tables kTables = makeTables();

// True when the bit number grows along ray r: one file right adds 1, one rank up takes 8.
constexpr bool growsAlong(int r) {
  return kRays[r][0] - 8 * kRays[r][1] > 0;
}

// The first piece of a ray is found by a bit scan of the ray's occupied squares. An empty ray
// scans a stand-in square from which that ray leaves the board at once: the last square (bit 63,
// rank 1 file 8) for a ray whose bits grow, the first (bit 0, rank 8 file 1) for the others.
constexpr bool standInsLeaveAtOnce() {
  for (int r = 0; r < 8; ++r) {
    if (kTables.ray[r][growsAlong(r) ? 63 : 0] != 0) return false;
  }
  return true;
}
static_assert(standInsLeaveAtOnce());

// The squares of ray r from a up to and including its first occupied square, or to the edge.
inline std::uint64_t rayReachAlong(int r, int a, std::uint64_t occupied) {
  const std::uint64_t ray = kTables.ray[r][a];
  const std::uint64_t blockers = ray & occupied;
  const int first = growsAlong(r) ? std::countr_zero(blockers | (std::uint64_t{1} << 63))
                                  : 63 - std::countl_zero(blockers | 1);
  return ray ^ kTables.ray[r][first];  // the ray beyond its first piece is that piece's own ray
}

// rayReachAlong for a ray known at compile time, so that its direction test folds away.
template <int r>
inline std::uint64_t rayReach(int a, std::uint64_t occupied) {
  return rayReachAlong(r, a, occupied);
}

// The diagonal rays (kRays 0..3) and the straight ones (4..7), each up to its first piece.
inline std::uint64_t bishopReach(int a, std::uint64_t occupied) {
  return rayReach<0>(a, occupied) | rayReach<1>(a, occupied) | rayReach<2>(a, occupied) |
         rayReach<3>(a, occupied);
}
inline std::uint64_t rookReach(int a, std::uint64_t occupied) {
  return rayReach<4>(a, occupied) | rayReach<5>(a, occupied) | rayReach<6>(a, occupied) |
         rayReach<7>(a, occupied);
}

}  // namespace targets_detail

inline constexpr std::uint64_t kRank8Squares = 0xFF;  // bits 0..7
inline constexpr std::uint64_t kRank2Squares = std::uint64_t{0xFF} << 48;
inline constexpr std::uint64_t kRank1Squares = std::uint64_t{0xFF} << 56;
inline constexpr std::uint64_t kFile1Squares = 0x0101010101010101ull;  // bit 0 of every byte
inline constexpr std::uint64_t kFile8Squares = kFile1Squares << 7;

// The squares on the line from the square of bit a through that of bit b that lie beyond b; none
// when b is on no ray from a. A ray that reached b before b was occupied loses them once it is.
inline std::uint64_t squaresBeyond(int a, int b) {
  using namespace targets_detail;
  const int r = kTables.rayTo[a][b];
  return r < 0 ? 0 : kTables.ray[r][b];
}

// What a ray from the square of bit a that ended on the square of bit b reaches once b is empty:
// the squares beyond b up to and including the next occupied one, or to the edge; none when b is
// on no ray from a.
inline std::uint64_t squaresPast(int a, int b, std::uint64_t occupied) {
  const int r = targets_detail::kTables.rayTo[a][b];
  return r < 0 ? 0 : targets_detail::rayReachAlong(r, b, occupied);
}

// The number of squares in a set. std::popcount counts the same, but without a CPU-specific
// flag GCC makes it a library call; these few operations add the bits in place: pairs, then
// nibbles, then bytes, whose sum the multiplication gathers in the top byte.
constexpr int squareCount(std::uint64_t s) {
  s -= (s >> 1) & 0x5555555555555555ull;
  s = (s & 0x3333333333333333ull) + ((s >> 2) & 0x3333333333333333ull);
  s = (s + (s >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<int>((s * 0x0101010101010101ull) >> 56);
}
static_assert(squareCount(0) == 0 && squareCount(~std::uint64_t{0}) == 64 &&
              squareCount(0x8000000000000101ull) == 3);

// What the moves of one piece depend on and where they go, as sets of squares.
struct PieceSquares {
  // The squares whose contents decide the moves: a step piece's steps, a pawn's steps and
  // diagonals, a ray piece's rays up to and including the first piece on each. While none of
  // them changes, the piece's targets stay the same.
  std::uint64_t reach;
  std::uint64_t targets;  // the destinations of the piece's moves
};

// The reach and destinations of the human piece with code `code` on the square of bit a, given
// the squares of the computer's pieces and of the human's; nothing for a code of another side.
inline PieceSquares humanPieceSquares(std::int32_t code, int a, std::uint64_t computer,
                                      std::uint64_t human) {
  using namespace targets_detail;
  const std::uint64_t occupied = computer | human;
  std::uint64_t reach = 0;
  switch (code) {
    case -kPawn: {
      // Forward (towards rank 8) is 8 bits down; from rank 8 every shift leaves the set.
      const std::uint64_t from = std::uint64_t{1} << a;
      const std::uint64_t ahead = from >> 8;
      const std::uint64_t twoAhead = (from & kRank2Squares) != 0 ? from >> 16 : 0;
      const std::uint64_t diagonals = ((from >> 7) & ~kFile1Squares) |  // towards file x + 1
                                      ((from >> 9) & ~kFile8Squares);   // towards file x - 1
      const std::uint64_t step = ahead & ~occupied;
      const std::uint64_t doubleStep = step != 0 ? twoAhead & ~occupied : 0;
      return {ahead | twoAhead | diagonals, step | doubleStep | (diagonals & computer)};
    }
    case -kKnight:
      reach = kTables.knight[a];
      break;
    case -kBishop:
      reach = bishopReach(a, occupied);
      break;
    case -kRook:
      reach = rookReach(a, occupied);
      break;
    case -kQueen:
      reach = bishopReach(a, occupied) | rookReach(a, occupied);
      break;
    case kHumanKing:
      reach = kTables.king[a];
      break;
    default:
      break;
  }
  // A step or ray piece may go to every square of its reach but its own side's.
  return {reach, reach & ~human};
}

// The moves of one computer piece, in the order generateComputerMoves finds them.
struct ComputerMoves {
  // The squares whose contents decide them, as PieceSquares::reach for a human piece: while none
  // of them changes, the list stays the same.
  std::uint64_t reach;
  std::int8_t count;
  std::int8_t to[31];  // their destinations as bit numbers (a queen has at most 27 moves)
};

// The moves of the computer piece `code` on the square of bit f, with the pieces on the squares
// of `computer` and `human`. A pawn steps towards rank 1 (8 bits up): double step, single step,
// then the captures towards file x + 1 and x - 1; steps in the order of their tables; each ray in
// turn, nearest square first, up to a human piece or before a computer one.
inline void listComputerMoves(std::int32_t code, int f, std::uint64_t computer, std::uint64_t human,
                              ComputerMoves& moves) {
  using namespace targets_detail;
  const std::uint64_t occupied = computer | human;
  int n = 0;
  std::uint64_t reach = 0;
  const auto add = [&](int t) { moves.to[n++] = static_cast<std::int8_t>(t); };
  const auto steps = [&](const std::int8_t(&table)[8], std::uint64_t squares) {
    reach = squares;
    for (int s = 0; s < 8; ++s) {
      if (table[s] >= 0 && ((computer >> table[s]) & 1) == 0) add(table[s]);
    }
  };
  const auto ray = [&](auto r) {
    const std::uint64_t squares = rayReach<r.value>(f, occupied);
    reach |= squares;
    std::uint64_t targets = squares & ~computer;
    if (growsAlong(r.value)) {
      for (; targets != 0; targets &= targets - 1)
        add(std::countr_zero(targets));
    } else {
      for (; targets != 0; targets &= ~(std::uint64_t{1} << (63 - std::countl_zero(targets))))
        add(63 - std::countl_zero(targets));
    }
  };
  using R0 = std::integral_constant<int, 0>;
  using R1 = std::integral_constant<int, 1>;
  using R2 = std::integral_constant<int, 2>;
  using R3 = std::integral_constant<int, 3>;
  using R4 = std::integral_constant<int, 4>;
  using R5 = std::integral_constant<int, 5>;
  using R6 = std::integral_constant<int, 6>;
  using R7 = std::integral_constant<int, 7>;
  switch (code) {
    case kPawn: {
      if (screenRank(f) == 1) break;  // the border ahead
      const int x = screenFile(f);
      const bool rank7 = screenRank(f) == 7;
      reach = (std::uint64_t{1} << (f + 8)) | (rank7 ? std::uint64_t{1} << (f + 16) : 0) |
              (x < 8 ? std::uint64_t{1} << (f + 9) : 0) | (x > 1 ? std::uint64_t{1} << (f + 7) : 0);
      const bool aheadEmpty = ((occupied >> (f + 8)) & 1) == 0;
      if (rank7 && aheadEmpty && ((occupied >> (f + 16)) & 1) == 0) add(f + 16);
      if (aheadEmpty) add(f + 8);
      if (x < 8 && ((human >> (f + 9)) & 1) != 0) add(f + 9);
      if (x > 1 && ((human >> (f + 7)) & 1) != 0) add(f + 7);
      break;
    }
    case kKnight:
      steps(kTables.knightTo[f], kTables.knight[f]);
      break;
    case kBishop:
      ray(R0{}), ray(R1{}), ray(R2{}), ray(R3{});
      break;
    case kRook:
      ray(R4{}), ray(R5{}), ray(R6{}), ray(R7{});
      break;
    case kQueen:
      ray(R0{}), ray(R1{}), ray(R2{}), ray(R3{}), ray(R4{}), ray(R5{}), ray(R6{}), ray(R7{});
      break;
    case kComputerKing:
      steps(kTables.kingTo[f], kTables.king[f]);
      break;
    default:
      break;
  }
  moves.reach = reach;
  moves.count = static_cast<std::int8_t>(n);
}

}  // namespace vombel
