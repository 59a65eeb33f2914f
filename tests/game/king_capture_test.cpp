// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The human's move that would take the computer's king is refused by the material sum of the
// position after it. In positions without one king or both, every other move must still pass.
#include <gtest/gtest.h>

#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "search/search.h"
#include "state/state.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

using testing_support::GameTest;
using testing_support::startFrom;

class KingCapture : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    selectLevel(false);
    // Without a human king on the board the safety test reads the last king square found; make
    // it the start square e1, which no computer piece below reaches.
    humanKingX = 5;
    humanKingY = 1;
  }
  // Plays from -> to by two clicks; true when the move was taken into the history.
  static bool played(int fromX, int fromY, int toX, int toY) {
    c_Click(screenIndex(fromX, fromY));
    c_Click(screenIndex(toX, toY));
    return moveNumber >= 1.0f && gameHistory[1](toX, toY) < 0 && gameHistory[1](fromX, fromY) == 0;
  }
};

TEST_F(KingCapture, WithoutTheHumansKingOnlyTheKingCaptureIsRefused) {
  const char* const position =
      "....k... ....Q... ........ ........ ........ ........ ........ R.......";
  startFrom(position);
  EXPECT_FALSE(played(5, 7, 5, 8));  // the queen takes the king
  EXPECT_EQ(moveNumber, 0.0f);
  startFrom(position);
  EXPECT_TRUE(played(1, 1, 1, 2));  // an ordinary rook move
  startFrom(position);
  EXPECT_TRUE(played(5, 7, 4, 7));  // an ordinary queen move
}

TEST_F(KingCapture, WithoutKingsAMoveToASumOfExactlyZeroPasses) {
  // A pawn each: a2-a3 leaves the sum at 10 - 10 = 0.
  startFrom("........ ....p... ........ ........ ........ ........ P....... ........");
  EXPECT_TRUE(played(1, 2, 1, 3));
  // Two pawns each and a computer knight: b2xc3 takes the sum from 20 + 30 - 20 = 30 to 0.
  startFrom("........ ....p..p ........ ........ ........ ..n..... PP...... ........");
  EXPECT_TRUE(played(2, 2, 3, 3));
  // A computer knight more: every move keeps the sum above 0.
  startFrom("........ ....p... ........ ........ ........ ..n..... P....... ........");
  EXPECT_TRUE(played(1, 2, 1, 4));
}

}  // namespace
}  // namespace vombel
