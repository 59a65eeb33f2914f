// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "notation/rules.h"

#include <initializer_list>

#include "movegen/generators.h"
#include "state/castling.h"

namespace vombel {

namespace {

constexpr std::int32_t signOf(bool black) {
  return black ? 1 : -1;
}

// The moves of one piece, as generatorMoves' generators hand them over.
int pieceMoveCount;
std::int8_t pieceMoveTo[32][2];  // a queen has at most 27 moves, a pawn 4, a king 8

void notePieceMove(int toX, int toY, int /*fromX*/, int /*fromY*/) {
  pieceMoveTo[pieceMoveCount][0] = static_cast<std::int8_t>(toX);
  pieceMoveTo[pieceMoveCount][1] = static_cast<std::int8_t>(toY);
  ++pieceMoveCount;
}

// True when the piece on (x, y) has a move after which its side is not in check.
bool pieceHasLegalMove(const Board& b, int x, int y, bool black) {
  pieceMoveCount = 0;
  if (black) {
    generateComputerMoves<notePieceMove>(b, x, y);
  } else {
    generateHumanMoves<notePieceMove>(b, x, y);
  }
  for (int i = 0; i < pieceMoveCount; ++i) {
    Board trial = b;
    playMove(trial, x, y, pieceMoveTo[i][0], pieceMoveTo[i][1]);
    if (!inCheck(trial, black)) return true;
  }
  return false;
}

// The castling rows by the right they use.
const Castling& wingOf(const HalfMove& m) {
  if (m.black) return m.toX == kComputerKingSide.kingTo ? kComputerKingSide : kComputerQueenSide;
  return m.toX == kHumanKingSide.kingTo ? kHumanKingSide : kHumanQueenSide;
}

int rightOf(const HalfMove& m) {
  const bool kingSide = m.toX == kHumanKingSide.kingTo;
  if (m.black) return kingSide ? kBlackKingSide : kBlackQueenSide;
  return kingSide ? kWhiteKingSide : kWhiteQueenSide;
}

}  // namespace

bool attackedBy(const Board& b, int x, int y, bool black) {
  const std::int32_t sign = signOf(black);
  // A Black pawn takes towards rank 1, so it attacks (x, y) from rank y + 1; a White one from
  // rank y - 1.
  const int pawnRank = black ? y + 1 : y - 1;
  if (b(x - 1, pawnRank) == sign * kPawn || b(x + 1, pawnRank) == sign * kPawn) return true;
  const std::int32_t king = black ? kComputerKing : kHumanKing;
  for (int s = 0; s < 8; ++s) {
    if (b(x + kKnightSteps[s][0], y + kKnightSteps[s][1]) == sign * kKnight) return true;
    if (b(x + kKingSteps[s][0], y + kKingSteps[s][1]) == king) return true;
  }
  // Along each ray the first piece met attacks if it moves that way: a bishop on the first four
  // (diagonal) rays, a rook on the others, a queen on all.
  for (int r = 0; r < 8; ++r) {
    const std::int32_t slider = sign * (r < 4 ? kBishop : kRook);
    int tx = x + kRays[r][0];
    int ty = y + kRays[r][1];
    while (b(tx, ty) == kEmpty) {
      tx += kRays[r][0];
      ty += kRays[r][1];
    }
    if (b(tx, ty) == slider || b(tx, ty) == sign * kQueen) return true;
  }
  return false;
}

int findKing(const Board& b, bool black, int& x, int& y) {
  const std::int32_t king = black ? kComputerKing : kHumanKing;
  int count = 0;
  for (int ry = 1; ry <= 8; ++ry) {
    for (int rx = 1; rx <= 8; ++rx) {
      if (b(rx, ry) != king) continue;
      x = rx;
      y = ry;
      ++count;
    }
  }
  return count;
}

bool inCheck(const Board& b, bool black) {
  int x = 0;
  int y = 0;
  return findKing(b, black, x, y) == 1 && attackedBy(b, x, y, !black);
}

bool hasLegalMove(const Board& b, bool black, int epFile) {
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      if (belongsTo(b(x, y), black) && pieceHasLegalMove(b, x, y, black)) return true;
    }
  }
  if (epFile == 0) return false;
  // En passant: the pawn that stepped two squares stands on rank 4 (White's) or 5 (Black's); a
  // pawn beside it takes it by moving to the square it crossed.
  const int rank = black ? 4 : 5;
  const int crossed = black ? 3 : 6;
  for (const int x : {epFile - 1, epFile + 1}) {
    if (b(x, rank) != signOf(black) * kPawn) continue;
    Board trial = b;
    trial(epFile, crossed) = trial(x, rank);
    trial(x, rank) = kEmpty;
    trial(epFile, rank) = kEmpty;
    if (!inCheck(trial, black)) return true;
  }
  return false;
}

int castlingByPlacement(const Board& b) {
  const auto placed = [&](const Castling& wing) {
    return b(wing.kingFrom, wing.rank) == wing.king && b(wing.rookFrom, wing.rank) == wing.rook;
  };
  return (placed(kHumanKingSide) ? kWhiteKingSide : 0) |
         (placed(kHumanQueenSide) ? kWhiteQueenSide : 0) |
         (placed(kComputerKingSide) ? kBlackKingSide : 0) |
         (placed(kComputerQueenSide) ? kBlackQueenSide : 0);
}

int castlingAfter(int rights, int x, int y) {
  if (y != 1 && y != 8) return rights;
  const int kingSide = y == 1 ? kWhiteKingSide : kBlackKingSide;
  const int queenSide = y == 1 ? kWhiteQueenSide : kBlackQueenSide;
  if (x == 5) return rights & ~(kingSide | queenSide);
  if (x == 8) return rights & ~kingSide;
  if (x == 1) return rights & ~queenSide;
  return rights;
}

PositionFault positionFault(const Board& b, bool blackToMove) {
  int x = 0;
  int y = 0;
  const int whiteKings = findKing(b, false, x, y);
  if (whiteKings == 0) return PositionFault::noWhiteKing;
  if (whiteKings > 1) return PositionFault::whiteKings;
  const int blackKings = findKing(b, true, x, y);
  if (blackKings == 0) return PositionFault::noBlackKing;
  if (blackKings > 1) return PositionFault::blackKings;
  for (int file = 1; file <= 8; ++file) {
    for (const int rank : {1, 8}) {
      if (b(file, rank) == kPawn || b(file, rank) == -kPawn) return PositionFault::pawnOnEdge;
    }
  }
  if (inCheck(b, !blackToMove)) return PositionFault::notToMoveInCheck;
  return PositionFault::none;
}

MoveFault moveFault(const Board& before, const Board& after, const HalfMove& m, bool blackToMove,
                    int rights) {
  if (m.kind != EntryKind::move && m.kind != EntryKind::castling) return MoveFault::setUp;
  if (m.black != blackToMove) return MoveFault::wrongSide;
  if (m.kind == EntryKind::castling) {
    // The king may not castle out of check, across an attacked square or into check.
    const Castling& wing = wingOf(m);
    const int crossed = (wing.kingFrom + wing.kingTo) / 2;
    if ((rights & rightOf(m)) == 0 || attackedBy(before, wing.kingFrom, wing.rank, !m.black) ||
        attackedBy(before, crossed, wing.rank, !m.black)) {
      return MoveFault::castlingForbidden;
    }
  } else if (m.captured == kHumanKing || m.captured == kComputerKing) {
    return MoveFault::takesKing;
  }
  if (inCheck(after, m.black)) {
    return m.kind == EntryKind::castling ? MoveFault::castlingForbidden : MoveFault::leavesCheck;
  }
  return MoveFault::none;
}

}  // namespace vombel
