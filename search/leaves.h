// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The last ply of the search (ply 6 at Difficult, ply 4 at Easy) is a human move whose score is
// the material of the position it reaches. Counted in bulk, a leaf loop needs per human piece only
// how many moves it has and the lowest material among them (see countLeaves in plies.cpp); this
// file computes those from the piece's destinations as a set of squares, without a move.
#pragma once

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdint>

#include "movegen/targets.h"
#include "state/board.h"

namespace vombel {

// What the search carries down the line for a ply board, kept up to date move by move: its
// material (materialSum as a whole number) and the squares of each side's pieces.
struct Summary {
  std::int32_t material;
  std::uint64_t computerPieces;  // squareBit bits
  std::uint64_t humanPieces;
};

inline constexpr std::int32_t kPromotionGain = kQueen - kPawn;

// The computer piece that a leaf's parent has just received, when the bulk count reads that
// parent as the board above it plus one computer move rather than as a board of its own. Only the
// destination matters: the square the piece left is empty, so no human move captures there, and
// no human piece stands on either square.
struct ArrivedPiece {
  std::uint64_t square;  // squareBit bit; 0 when the board is read as it is
  std::int32_t code;     // the piece's code there, after its promotion
};

// The moves of one human piece at a leaf ply.
struct LeafMoves {
  int count;            // how many moves: the number of leaf callbacks they would run
  std::int32_t gain;    // the most material one of them takes: its capture and promotion
  std::uint64_t reach;  // the squares that decide them (PieceSquares::reach)
};

// The moves of the human piece on the square of bit a of a leaf's parent: the position `board`
// with `arrived` on its square, whose pieces stand on the squares of summary, and where no human
// pawn stands on rank 8 (see stalePawn). A move's material is the parent's (summary.material)
// less the code it captures, less the promotion gain when a pawn reaches rank 8: a pawn on rank
// 7 does with every move it has, a pawn elsewhere with none.
inline LeafMoves humanLeafMoves(const Board& board, const Summary& summary, int a,
                                ArrivedPiece arrived = {0, 0}) {
  const std::int32_t code = board(screenFile(a), screenRank(a));
  const PieceSquares squares =
      humanPieceSquares(code, a, summary.computerPieces, summary.humanPieces);
  const std::uint64_t captures = squares.targets & summary.computerPieces;
  std::int32_t gain = (captures & arrived.square) != 0 ? arrived.code : 0;
  for (std::uint64_t rest = captures & ~arrived.square; rest != 0; rest &= rest - 1) {
    const int captured = std::countr_zero(rest);
    gain = std::max(gain, board(screenFile(captured), screenRank(captured)));
  }
  if (code == -kPawn && screenRank(a) == 7) gain += kPromotionGain;
  return {squareCount(squares.targets), gain, squares.reach};
}

// The squares of the computer's pieces by kind, heaviest first (kKindCodes), so that the most
// material a set of captures takes is the code of the first kind it meets, found without reading
// the board square by square.
inline constexpr std::int32_t kKindCodes[6] = {kComputerKing, kQueen,  kRook,
                                               kBishop,       kKnight, kPawn};
struct ComputerKinds {
  std::uint64_t squares[6];  // squareBit bits, by the kind's place in kKindCodes
};

// The place of a computer piece's code in kKindCodes.
constexpr int kindOf(std::int32_t code) {
  assert(code > 0 && code != kBorder);
  return code == kPawn     ? 5
         : code == kKnight ? 4
         : code == kBishop ? 3
         : code == kRook   ? 2
         : code == kQueen  ? 1
                           : 0;
}

// The computer's pieces of b by kind.
inline ComputerKinds computerKinds(const Board& b) {
  ComputerKinds kinds{};
  for (int a = 0; a < 64; ++a) {
    const std::int32_t code = b(screenFile(a), screenRank(a));
    if (code > 0) kinds.squares[kindOf(code)] |= std::uint64_t{1} << a;
  }
  return kinds;
}

// The most material that captures onto the squares of `captures` take: the heaviest kind among
// them, 0 for none.
inline std::int32_t heaviestCapture(std::uint64_t captures, const ComputerKinds& kinds) {
  if (captures == 0) return 0;
  for (int k = 0; k < 6; ++k) {
    if ((captures & kinds.squares[k]) != 0) return kKindCodes[k];
  }
  return 0;
}

// humanLeafMoves for the piece `code` on the square of bit a, with the computer's pieces of
// `board` given by kind instead of the board itself. The arrived piece's square holds no computer
// piece of `board` (it was empty or the human's), and the square it left is in no capture, as it
// is not among summary.computerPieces; so the kinds of `board` price every other capture.
inline LeafMoves humanLeafMovesByKind(std::int32_t code, int a, const Summary& summary,
                                      const ComputerKinds& kinds, ArrivedPiece arrived = {0, 0}) {
  const PieceSquares squares =
      humanPieceSquares(code, a, summary.computerPieces, summary.humanPieces);
  const std::uint64_t captures = squares.targets & summary.computerPieces;
  std::int32_t gain = heaviestCapture(captures, kinds);
  if ((captures & arrived.square) != 0) gain = std::max(gain, arrived.code);
  if (code == -kPawn && screenRank(a) == 7) gain += kPromotionGain;
  return {squareCount(squares.targets), gain, squares.reach};
}

// The moves of the human knight, bishop, rook, queen or king `code` on the square of bit a after
// a computer move from the square `from` to that of `arrived`, from `before`, its moves on the
// board `above` the move (whose pieces stand on the squares of `above`, priced by `kinds`). Only
// those two squares change. A ray that ended on `from` now runs on past it; a ray that passed the
// arrived square now ends there, losing the squares beyond (in this order, a ray that passes both
// ends where it should). A step piece's reach never changes. The targets are then the reach less
// the human's squares, and the captures are priced as on `above` but for the arrived piece.
inline LeafMoves humanLeafMovesAfterMove(std::int32_t code, int a, const LeafMoves& before,
                                         const Summary& above, const ComputerKinds& kinds,
                                         std::uint64_t from, ArrivedPiece arrived) {
  assert(code < 0 && code != -kPawn && (above.computerPieces & from) != 0);
  const std::uint64_t computer = (above.computerPieces & ~from) | arrived.square;
  const std::uint64_t human = above.humanPieces & ~arrived.square;
  std::uint64_t reach = before.reach;
  if (code == -kBishop || code == -kRook || code == -kQueen) {
    if ((reach & from) != 0) reach |= squaresPast(a, std::countr_zero(from), computer | human);
    if ((reach & arrived.square) != 0) reach &= ~squaresBeyond(a, std::countr_zero(arrived.square));
  }
  const std::uint64_t targets = reach & ~human;
  std::int32_t gain = heaviestCapture(targets & above.computerPieces & ~from, kinds);
  if ((targets & arrived.square) != 0) gain = std::max(gain, arrived.code);
  return {squareCount(targets), gain, reach};
}

// True when a pawn stands on its side's last rank of b: a human pawn on rank 8 or a computer pawn
// on rank 1 (free placement can leave one there). Such a pawn has no move, but a move of its side
// ending anywhere on its file promotes it, since a ply's promotion looks at the file's last-rank
// square after every move. The bulk count leaves that to the callbacks. No ply makes one: a pawn
// reaching its last rank is promoted at once.
inline bool stalePawn(const Board& b) {
  for (int x = 1; x <= 8; ++x) {
    if (b(x, 8) == -kPawn || b(x, 1) == kPawn) return true;
  }
  return false;
}

}  // namespace vombel
