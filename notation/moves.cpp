// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "notation/moves.h"

#include "movegen/generators.h"
#include "state/board_ops.h"
#include "state/castling.h"

namespace vombel {

namespace {

// The destination looked for by generatorMoves, and whether a generated move reached it.
int wantedX;
int wantedY;
bool wantedFound;

void noteTarget(int toX, int toY, int /*fromX*/, int /*fromY*/) {
  if (toX == wantedX && toY == wantedY) wantedFound = true;
}

constexpr const Castling* kWings[4] = {&kHumanKingSide, &kHumanQueenSide, &kComputerKingSide,
                                       &kComputerQueenSide};

// True when after holds on rank of wing exactly what castling makes of before's.
bool castledTo(const Board& before, const Board& after, const Castling& wing) {
  if (!castlingReady(before, wing)) return false;
  Board castled = before;
  castle(castled, wing);
  for (int x = 1; x <= 8; ++x) {
    if (castled(x, wing.rank) != after(x, wing.rank)) return false;
  }
  return true;
}

HalfMove setUpChange() {
  return {EntryKind::setUp, false, 0, 0, 0, 0, kEmpty, kEmpty, false};
}

}  // namespace

bool generatorMoves(const Board& b, int fromX, int fromY, int toX, int toY) {
  wantedX = toX;
  wantedY = toY;
  wantedFound = false;
  if (isBlackPiece(b(fromX, fromY))) {
    generateComputerMoves<noteTarget>(b, fromX, fromY);
  } else {
    generateHumanMoves<noteTarget>(b, fromX, fromY);
  }
  return wantedFound;
}

void playMove(Board& b, int fromX, int fromY, int toX, int toY) {
  makeMove(b, fromX, fromY, toX, toY);
  const std::int32_t code = b(toX, toY);
  if ((code == kPawn || code == -kPawn) && lastRank(code > 0, toY)) {
    b(toX, toY) = code > 0 ? kQueen : -kQueen;
  }
}

HalfMove findHalfMove(const Board& before, const Board& after) {
  // The squares that changed, up to five (castling queen side touches four).
  int changed = 0;
  int squareX[5] = {};
  int squareY[5] = {};
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      if (before(x, y) == after(x, y)) continue;
      if (changed == 5) return setUpChange();
      squareX[changed] = x;
      squareY[changed] = y;
      ++changed;
    }
  }
  if (changed == 0) return {EntryKind::resignation, true, 0, 0, 0, 0, kEmpty, kEmpty, false};

  if (changed == 4) {
    for (const Castling* wing : kWings) {
      if (castledTo(before, after, *wing)) {
        return {EntryKind::castling,
                wing->king > 0,
                static_cast<std::int8_t>(wing->kingFrom),
                static_cast<std::int8_t>(wing->rank),
                static_cast<std::int8_t>(wing->kingTo),
                static_cast<std::int8_t>(wing->rank),
                wing->king,
                kEmpty,
                false};
      }
    }
    return setUpChange();
  }
  if (changed != 2) return setUpChange();

  // One square emptied (the origin), the other now holds its piece, or the queen it became.
  int from = 0;
  if (after(squareX[1], squareY[1]) == kEmpty) from = 1;
  const int to = 1 - from;
  const int fromX = squareX[from];
  const int fromY = squareY[from];
  const int toX = squareX[to];
  const int toY = squareY[to];
  const std::int32_t piece = before(fromX, fromY);
  if (after(fromX, fromY) != kEmpty || piece == kEmpty) return setUpChange();
  if (!generatorMoves(before, fromX, fromY, toX, toY)) return setUpChange();
  Board played = before;
  playMove(played, fromX, fromY, toX, toY);
  if (played(toX, toY) != after(toX, toY)) return setUpChange();
  return {EntryKind::move,
          isBlackPiece(piece),
          static_cast<std::int8_t>(fromX),
          static_cast<std::int8_t>(fromY),
          static_cast<std::int8_t>(toX),
          static_cast<std::int8_t>(toY),
          piece,
          before(toX, toY),
          played(toX, toY) != piece};
}

}  // namespace vombel
