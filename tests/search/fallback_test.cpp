// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The fallback search on positions without kings, where the material sums sit at 0 and below:
// its best score starts below every reachable sum, so a move worth exactly 0 is played and a
// position in which every move is worth less than 0 resigns.
#include <gtest/gtest.h>

#include "search/search.h"
#include "state/state.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

using testing_support::boardFromText;
using testing_support::boardToText;
using testing_support::GameTest;
using testing_support::messages;

using KinglessFallback = GameTest;

TEST_F(KinglessFallback, AMoveWorthExactlyZeroIsPlayed) {
  // No kings; a pawn each: every line sums to 0.
  board = boardFromText("........ ....p... ........ ........ ........ ........ P....... ........");
  bestBoard = board;
  turnReport.resigned = false;
  fallbackSearch();
  EXPECT_EQ(bestScore1, 0.0f);
  EXPECT_FALSE(turnReport.resigned);
  EXPECT_TRUE(messages.empty());
  // The computer's pawn has moved on from e7.
  EXPECT_EQ(bestBoard(5, 7), kEmpty);
  EXPECT_TRUE(bestBoard(5, 6) == kPawn || bestBoard(5, 5) == kPawn) << boardToText(bestBoard);
}

TEST_F(KinglessFallback, EveryMoveBelowZeroResigns) {
  // No kings; the human's rook outweighs the computer's pawn whatever is played.
  board = boardFromText("........ ....p... ........ ........ ........ ........ ........ R.......");
  const Board before = board;
  turnReport.resigned = false;
  fallbackSearch();
  EXPECT_LT(bestScore1, 0.0f);
  EXPECT_TRUE(turnReport.resigned);
  EXPECT_TRUE(messages.empty());  // the turn's finishing part tells it
  EXPECT_EQ(boardToText(bestBoard), boardToText(before));
}

}  // namespace
}  // namespace vombel
