// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The fallback search and the attack-map marking share the ply-7 and ply-8 callbacks: with
// markAttacks set they only mark the destination of each move in an attack map.
#include "eval/evaluation.h"
#include "platform/controls.h"
#include "search/instances.h"
#include "search/scan.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/state.h"

namespace vombel {

void fallbackSearch() {
  bestScore1 = kLowestScore;
  markAttacks = kFlagClear;
  scanFilesThenRanks<ply7Generator>(board);
  // cppcheck-suppress knownConditionTrueFalse ; the move callbacks raise bestScore1
  if (bestScore1 >= 0) return;
  copyBoard(bestBoard, board);
  turnReport.resigned = true;
  messageBox("Computer resignes");
}

void fallbackMoveOrMark(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[7];
  if (markAttacks == kFlagSet) {
    computerAttackMap(toX, toY) = 1;
    return;
  }
  // Each computer move is worth the lowest material the human reaches with one reply; the
  // fallback does not promote.
  copyBoard(plyBoard1, board);
  makeMove(plyBoard1, fromX, fromY, toX, toY);
  bestScore2 = kHighestScore;
  markAttacks = kFlagClear;
  scanFilesThenRanks<ply8Generator>(plyBoard1);
  if (bestScore2 > bestScore1) {
    bestScore1 = bestScore2;
    copyBoard(bestBoard, plyBoard1);
  }
}

void fallbackReplyOrMark(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[8];
  if (markAttacks == kFlagSet) {
    humanAttackMap(toX, toY) = 1;
    return;
  }
  copyBoard(plyBoard2, plyBoard1);
  makeMove(plyBoard2, fromX, fromY, toX, toY);
  const float s = materialSum(plyBoard2);
  if (s < bestScore2) bestScore2 = s;
}

}  // namespace vombel
