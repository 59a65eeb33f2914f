// The last ply of the search (ply 6 at Difficult, ply 4 at Easy) is a human move whose score is
// the material of the position it reaches. Counted in bulk, a leaf loop needs per human piece only
// how many moves it has and the lowest material among them (see countLeaves in plies.cpp); this
// file computes those from the piece's destinations as a set of squares, without a move.
#pragma once

#include <algorithm>
#include <bit>
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
    const int c = std::countr_zero(rest);
    gain = std::max(gain, board(screenFile(c), screenRank(c)));
  }
  if (code == -kPawn && screenRank(a) == 7) gain += kPromotionGain;
  return {squareCount(squares.targets), gain, squares.reach};
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
