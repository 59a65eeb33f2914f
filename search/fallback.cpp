// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The fallback search: two plies of material over every computer move, through the ply-7 and
// ply-8 callbacks.
#include "eval/evaluation.h"
#include "search/instances.h"
#include "search/scan.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/state.h"

namespace vombel {

void fallbackSearch() {
  bestScore1 = kLowestScore;
  scanFilesThenRanks<ply7Generator>(board);
  // cppcheck-suppress knownConditionTrueFalse ; the move callbacks raise bestScore1
  if (bestScore1 >= 0) return;
  copyBoard(bestBoard, board);
  turnReport.resigned = true;
}

void fallbackMoveOrMark(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[7];
  // Each computer move is worth the lowest material the human reaches with one reply; the
  // fallback does not promote.
  copyBoard(plyBoard1, board);
  makeMove(plyBoard1, fromX, fromY, toX, toY);
  bestScore2 = kHighestScore;
  scanFilesThenRanks<ply8Generator>(plyBoard1);
  if (bestScore2 > bestScore1) {
    bestScore1 = bestScore2;
    copyBoard(bestBoard, plyBoard1);
  }
}

void fallbackReplyOrMark(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[8];
  copyBoard(plyBoard2, plyBoard1);
  makeMove(plyBoard2, fromX, fromY, toX, toY);
  const float s = materialSum(plyBoard2);
  if (s < bestScore2) bestScore2 = s;
}

}  // namespace vombel
