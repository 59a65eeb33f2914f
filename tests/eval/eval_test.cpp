// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Material, positional evaluation, the two orderings and the repetition test.
#include <gtest/gtest.h>

#include <cmath>

#include "eval/evaluation.h"
#include "eval/ordering.h"
#include "state/board_ops.h"
#include "state/state.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

using testing_support::boardFromText;
using testing_support::GameTest;
using testing_support::kStartText;

float evaluateInPhase(const Board& b, int phase) {
  gamePhase = phase;
  return evaluatePosition(b);
}

TEST(Material, KingsWeighDifferently) {
  Board b = boardFromText(kStartText);
  EXPECT_EQ(materialSum(b), 5000.0f);
  b(5, 8) = kEmpty;
  EXPECT_LT(materialSum(b), 0.0f);
  b = boardFromText(kStartText);
  b(5, 1) = kEmpty;
  EXPECT_GT(materialSum(b), 10000.0f);
  b(-1, -1) = 12345;  // the border is never read
  EXPECT_EQ(materialSum(b), 15000.0f);
}

TEST(Evaluation, StartPositionInEachPhase) {
  const Board b = boardFromText(kStartText);
  humanKingX = 5;
  humanKingY = 1;
  for (int phase : {1, 2, 3})
    EXPECT_NEAR(evaluateInPhase(b, phase), 4997.96f, 0.005f);
  EXPECT_EQ(evaluateInPhase(b, 4), 5000.0f);
  EXPECT_NEAR(evaluateInPhase(b, 5), 5010.30f, 0.005f);
  EXPECT_NEAR(evaluateInPhase(b, 6), 5003.12f, 0.005f);
}

TEST(Evaluation, RoundsToSinglePrecisionAfterEveryAddition) {
  // Pinned to the bit: summing in double and rounding once gives different results.
  const Board b = boardFromText(kStartText);
  humanKingX = 5;
  humanKingY = 1;
  EXPECT_EQ(evaluateInPhase(b, 1), 4997.95703125f);
  EXPECT_EQ(evaluateInPhase(b, 5), 5010.296875f);
  EXPECT_EQ(evaluateInPhase(b, 6), 5003.12158203125f);

  double exact = 0;
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      exact += b(x, y);
      if (b(x, y) < 0) exact -= 1.0 / (1.0 + std::hypot(4.5 - x, 8.0 - y));
    }
  }
  EXPECT_NE(static_cast<float>(exact), evaluateInPhase(b, 1));
}

TEST(Evaluation, PhaseTermsAndBonuses) {
  const Board start = boardFromText(kStartText);
  // Phase 1: the king's pawn two steps forward is worth exactly one point more.
  Board b = start;
  makeMove(b, 5, 7, 5, 5);
  EXPECT_EQ(evaluateInPhase(b, 1) - evaluateInPhase(start, 1), 1.0f);
  // Phase 5: the castled placement earns five points; the king alone beside its rook does not.
  b = boardFromText("rnbq.rk. pppppppp ........ ........ ........ ........ PPPPPPPP RNBQKBNR");
  Board uncastled =
      boardFromText("rnbq..kr pppppppp ........ ........ ........ ........ PPPPPPPP RNBQKBNR");
  const float withBonus = evaluateInPhase(b, 5);
  const float without = evaluateInPhase(uncastled, 5);
  EXPECT_NEAR(
      withBonus - without,
      5.0f + 1.0f / (1.0f + std::hypot(1.5f, 3.5f)) - 1.0f / (1.0f + std::hypot(3.5f, 3.5f)),
      0.01f);
  // Phase 6 without computer pawns or pieces is the bare material, wherever the human king is.
  b = boardFromText("....k... ........ ........ ........ ........ ........ PPP..... ....K...");
  humanKingX = 1;
  humanKingY = 8;
  EXPECT_EQ(evaluateInPhase(b, 6), materialSum(b));
  // Human pieces have no term in phases 4 to 6.
  EXPECT_EQ(evaluateInPhase(start, 4), 5000.0f);
}

// A position whose material sum is score, tagged so that it can be recognised after sorting.
Board tagged(int score, int tag) {
  Board b = {};
  b(1, 1) = score;
  b(2, 1) = tag * 1000;
  b(3, 1) = -tag * 1000;
  return b;
}

class Ordering : public GameTest {
 protected:
  std::vector<int> rootTags() {
    std::vector<int> tags;
    for (int n = 1; n <= rootCount; ++n)
      tags.push_back(rootPositions[n](2, 1) / 1000);
    return tags;
  }
  void setRoots(std::initializer_list<int> scores) {
    rootCount = 0;
    for (int s : scores) {
      ++rootCount;
      rootPositions[rootCount] = tagged(s, rootCount);
    }
    gamePhase = 4;  // evaluation equals material
  }
};

TEST_F(Ordering, RootExchangeSortIsExactlyTheUnstableOne) {
  setRoots({5, 7, 7});
  orderRootMoves();
  EXPECT_EQ(rootTags(), (std::vector<int>{2, 3, 1}));
  setRoots({7, 5, 7});
  orderRootMoves();
  EXPECT_EQ(rootTags(), (std::vector<int>{1, 3, 2}));
  setRoots({5, 7, 9});
  orderRootMoves();
  EXPECT_EQ(rootTags(), (std::vector<int>{3, 2, 1}));
  setRoots({5, 5, 7});
  orderRootMoves();
  EXPECT_EQ(rootTags(), (std::vector<int>{3, 2, 1}));  // the two fives change places
  setRoots({4});
  orderRootMoves();
  EXPECT_EQ(rootTags(), (std::vector<int>{1}));
  // Border cells of the entries are never written.
  EXPECT_EQ(rootPositions[1](0, 0), 0);
}

TEST_F(Ordering, RepliesLowestMaterialFirst) {
  replyCount = 3;
  replyPositions[1] = tagged(5010, 1);
  replyPositions[2] = tagged(4990, 2);
  replyPositions[3] = tagged(5000, 3);
  orderReplies();
  std::vector<int> tags;
  for (int m = 1; m <= 3; ++m)
    tags.push_back(replyPositions[m](2, 1) / 1000);
  EXPECT_EQ(tags, (std::vector<int>{2, 3, 1}));
}

class Repetition : public GameTest {
 protected:
  // Computer placements A and B; the human's pawn stands elsewhere every time.
  static Board placement(const char* ranks, int variant) {
    Board p = boardFromText(ranks);
    p(variant % 8 + 1, 3) = -kPawn;
    return p;
  }
  static Board placementA(int variant) {
    return placement("....k... ........ ........ ...n.... ........ ........ ........ ....K...",
                     variant);
  }
  static Board placementB(int variant) {
    return placement("....k... ........ ..n..... ........ ........ ........ ........ ....K...",
                     variant);
  }
  // The computer's placements after its moves (odd entries) read A, B, A, B; current entry 12.
  static void playHistory() {
    moveNumber = 12;
    for (int i = 0; i <= 12; ++i)
      gameHistory[i] = placementA(i + 1);
    gameHistory[11] = placementB(11);
    gameHistory[9] = placementA(9);
    gameHistory[7] = placementB(7);
    gameHistory[5] = placementA(5);
  }
};

TEST_F(Repetition, ThirdReturnOfTheComputersPiecesIsRejected) {
  playHistory();
  // Candidate A gets index 13: compared with 9 (A), and 11 with 7, 9 with 5.
  EXPECT_TRUE(isRepetition(placementA(2)));
  EXPECT_FALSE(isRepetition(placementB(2)));
  // A candidate that has lost the knight is not compared on its empty squares: still a repeat.
  Board lost = placementA(3);
  lost(4, 5) = kEmpty;
  EXPECT_TRUE(isRepetition(lost));
  // Below move 10 nothing is a repetition.
  moveNumber = 9;
  EXPECT_FALSE(isRepetition(placementA(2)));
}

}  // namespace
}  // namespace vombel
