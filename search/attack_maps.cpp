// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/attack_maps.h"

#include "search/instances.h"
#include "search/scan.h"
#include "state/state.h"

namespace vombel {

namespace {

void markComputerAttack(int toX, int toY, int /*fromX*/, int /*fromY*/) {
  ++plyCalls[7];
  computerAttackMap(toX, toY) = 1;
}

void markHumanAttack(int toX, int toY, int /*fromX*/, int /*fromY*/) {
  ++plyCalls[8];
  humanAttackMap(toX, toY) = 1;
}

template <Side side>
void markMoves(const Board& b, int x, int y) {
  generateMoves<side, side == Side::computer ? markComputerAttack : markHumanAttack>(b, x, y);
}

}  // namespace

template <Side side>
void markPieceAttacks(const Board& b, int x, int y) {
  markMoves<side>(b, x, y);
}

template <Side side>
void markAttackedSquares(const Board& b) {
  scanSquares<side, Ranks::upward, markMoves<side>>(b);
}

template void markPieceAttacks<Side::computer>(const Board&, int, int);
template void markPieceAttacks<Side::human>(const Board&, int, int);
template void markAttackedSquares<Side::computer>(const Board&);
template void markAttackedSquares<Side::human>(const Board&);

}  // namespace vombel
