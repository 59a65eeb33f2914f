// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "state/board_ops.h"

#include <cstring>

#include "platform/controls.h"
#include "state/history.h"
#include "state/state.h"

namespace vombel {

void copyWholeBoard(Board& destination, const Board& source) {
  std::memcpy(&destination, &source, sizeof(Board));
}

void findKings(const Board& b) {
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      if (b(x, y) == kHumanKing) {
        humanKingX = static_cast<float>(x);
        humanKingY = static_cast<float>(y);
      }
    }
  }
}

void classifyPhase(const Board& b) {
  humanPieceCount = 0;
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      if (b(x, y) < 0) ++humanPieceCount;
    }
  }
  // The computer's first four moves of a game the human opened get their own phases, 1..4.
  for (int phase = 1; phase <= 4; ++phase) {
    if (moveNumber == static_cast<float>(kOpeningMoves[phase - 1])) {
      gamePhase = phase;
      return;
    }
  }
  gamePhase = humanPieceCount > kMiddlegamePieces ? kMiddlegame : kEndgame;
}

bool historyFull() {
  return currentMove() >= kMaxHistory;
}

void recordHistory() {
  if (historyFull()) return;
  moveNumber += 1;
  ++historyRecords;
  copyWholeBoard(gameHistory[currentMove()], board);
  setHistoriaMax(currentMove());
  setHistoriaValue(currentMove());
}

}  // namespace vombel
