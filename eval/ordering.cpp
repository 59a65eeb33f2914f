// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "eval/ordering.h"

#include "eval/evaluation.h"
#include "state/board_ops.h"
#include "state/state.h"

namespace vombel {

namespace {

// The exchange sort both orderings share: for each c, every later b whose score is better is
// swapped into place c at once. It is not stable: with scores 5, 5, 7 the result is 7, 5, 5 with
// the two fives exchanged, and the search keeps the first of equal candidates, so this exact
// procedure (not any sort) decides ties.
template <float (*score)(const Board&), bool descending>
void exchangeSort(Board* list, int count) {
  float scores[kMaxListEntries + 1];
  Board scratch = {};
  for (int n = 1; n <= count; ++n) {
    copyBoard(scratch, list[n]);
    scores[n] = score(scratch);
  }
  for (int i = 1; i <= count - 1; ++i) {
    for (int j = i + 1; j <= count; ++j) {
      const bool swap = descending ? scores[i] < scores[j] : scores[i] > scores[j];
      if (!swap) continue;
      const float t = scores[i];
      scores[i] = scores[j];
      scores[j] = t;
      copyBoard(scratch, list[j]);
      copyBoard(list[j], list[i]);
      copyBoard(list[i], scratch);
    }
  }
}

// Every computer piece of newer stands on the same square in older.
bool sameComputerPieces(const Board& newer, const Board& older) {
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      if (newer(x, y) > 0 && older(x, y) != newer(x, y)) return false;
    }
  }
  return true;
}

}  // namespace

void orderRootMoves() {
  exchangeSort<evaluatePosition, true>(rootPositions, rootCount);
}

void orderReplies() {
  exchangeSort<materialSum, false>(replyPositions, replyCount);
}

bool isRepetition(const Board& candidate) {
  if (moveNumber < 10) return false;
  const int a = currentMove() + 1;  // the history index the candidate would get
  return sameComputerPieces(candidate, gameHistory[a - 4]) &&
         sameComputerPieces(gameHistory[a - 2], gameHistory[a - 6]) &&
         sameComputerPieces(gameHistory[a - 4], gameHistory[a - 8]);
}

}  // namespace vombel
