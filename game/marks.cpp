// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/marks.h"

#include <cstring>

#include "game/turn_cycle.h"
#include "notation/moves.h"
#include "platform/controls.h"
#include "state/history.h"
#include "state/state.h"

namespace vombel {

MoveSquares lastMoveSquares() {
  const int shown = currentMove();
  if (shown < 1 || shown > historia.max) return kNoSquares;
  if (std::memcmp(&board, &gameHistory[shown], sizeof board) != 0) return kNoSquares;
  const HalfMove m = findHalfMove(gameHistory[shown - 1], gameHistory[shown]);
  if (m.kind != EntryKind::move && m.kind != EntryKind::castling) return kNoSquares;
  return {screenIndex(m.fromX, m.fromY), screenIndex(m.toX, m.toY)};
}

MoveSquares clickSquare(int a) {
  const bool triesMove = clickState == 1 && a != fromSquare && boardsu.value == 0;
  const int from = fromSquare;
  const int shown = currentMove();
  c_Click(a);
  if (!triesMove || currentMove() != shown) return kNoSquares;
  return {from, a};
}

}  // namespace vombel
