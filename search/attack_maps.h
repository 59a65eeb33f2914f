// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The attack maps: the squares a side's pieces can move to, for the castling tests and the test
// of the human's move.
#pragma once

#include "movegen/generators.h"
#include "state/board.h"

namespace vombel {

// Sets to 1 the cell of side's attack map (computerAttackMap or humanAttackMap) on the destination
// of every move of side's piece on (x, y) of b; nothing for a square without one. Clearing the
// maps first is the caller's (clearAttackMaps). Each move counts as one call of the side's ply in
// the fallback search (plyCalls[7] for the computer, plyCalls[8] for the human), as the turn's
// recorded counts have it.
template <Side side>
void markPieceAttacks(const Board& b, int x, int y);

// markPieceAttacks for every piece of side on b.
template <Side side>
void markAttackedSquares(const Board& b);

}  // namespace vombel
