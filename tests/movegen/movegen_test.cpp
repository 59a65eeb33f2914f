// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Move generation: the order of moves within a piece, the order of squares within a ply, and
// what the attack maps hold.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "movegen/generators.h"
#include "search/attack_maps.h"
#include "search/instances.h"
#include "search/scan.h"
#include "state/state.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

using testing_support::boardFromText;
using testing_support::kStartText;

using Move = std::array<int, 4>;  // toX, toY, fromX, fromY
std::vector<Move> seen;
void remember(int toX, int toY, int fromX, int fromY) {
  seen.push_back({toX, toY, fromX, fromY});
}

std::vector<Move> computerMovesFrom(const Board& b, int x, int y) {
  seen.clear();
  generateComputerMoves<remember>(b, x, y);
  return seen;
}

std::vector<Move> humanMovesFrom(const Board& b, int x, int y) {
  seen.clear();
  generateHumanMoves<remember>(b, x, y);
  return seen;
}

std::vector<std::array<int, 2>> destinations(const std::vector<Move>& moves) {
  std::vector<std::array<int, 2>> d;
  d.reserve(moves.size());
  for (const Move& m : moves)
    d.push_back({m[0], m[1]});
  return d;
}

TEST(Generators, StartPositionGivesTwentyMovesEachInPieceOrder) {
  const Board b = boardFromText(kStartText);
  int computer = 0;
  int human = 0;
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x) {
      computer += static_cast<int>(computerMovesFrom(b, x, y).size());
      human += static_cast<int>(humanMovesFrom(b, x, y).size());
    }
  }
  EXPECT_EQ(computer, 20);
  EXPECT_EQ(human, 20);

  // The double step comes before the single step; knights jump in their fixed order.
  using D = std::vector<std::array<int, 2>>;
  EXPECT_EQ(destinations(computerMovesFrom(b, 3, 7)), (D{{3, 5}, {3, 6}}));
  EXPECT_EQ(destinations(computerMovesFrom(b, 2, 8)), (D{{3, 6}, {1, 6}}));
  EXPECT_EQ(destinations(computerMovesFrom(b, 7, 8)), (D{{8, 6}, {6, 6}}));
  EXPECT_EQ(destinations(humanMovesFrom(b, 5, 2)), (D{{5, 4}, {5, 3}}));
  EXPECT_TRUE(computerMovesFrom(b, 4, 8).empty());  // the queen is boxed in
}

TEST(Generators, LoneRookWalksItsRaysInOrderForBothSides) {
  using D = std::vector<std::array<int, 2>>;
  const D expected = {{4, 5}, {4, 6}, {4, 7}, {4, 8}, {4, 3}, {4, 2}, {4, 1},
                      {5, 4}, {6, 4}, {7, 4}, {8, 4}, {3, 4}, {2, 4}, {1, 4}};
  Board b =
      boardFromText("........ ........ ........ ........ ...r.... ........ ........ ........");
  EXPECT_EQ(destinations(computerMovesFrom(b, 4, 4)), expected);
  b(4, 4) = -kRook;
  EXPECT_EQ(destinations(humanMovesFrom(b, 4, 4)), expected);
}

TEST(Generators, RaysEndAtTheFirstPieceAndNeverCaptureTheBorder) {
  using D = std::vector<std::array<int, 2>>;
  // A human bishop on (1, 1): its only ray runs to (3, 3), where a computer pawn ends it.
  const Board b =
      boardFromText("........ ........ ........ ........ ........ ..p..... ........ B.......");
  EXPECT_EQ(destinations(humanMovesFrom(b, 1, 1)), (D{{2, 2}, {3, 3}}));
  // A human queen in the corner with nothing around stops at the edge on every ray.
  const Board q =
      boardFromText("Q....... ........ ........ ........ ........ ........ ........ ........");
  EXPECT_EQ(humanMovesFrom(q, 1, 8).size(), 21u);
  // Blocked at once by an own piece: nothing on that ray.
  const Board r =
      boardFromText("........ ........ ........ ........ ........ ........ R....... RN......");
  EXPECT_EQ(destinations(humanMovesFrom(r, 1, 1)), D{});
}

TEST(Generators, PawnRules) {
  using D = std::vector<std::array<int, 2>>;
  // Blocked straight ahead: no forward move, not even the double step.
  Board b =
      boardFromText("........ ...p.... ...N.... ........ ........ ........ ........ ........");
  EXPECT_EQ(destinations(computerMovesFrom(b, 4, 7)), D{});
  // One rank past the start: a single step only.
  b = boardFromText("........ ........ ...p.... ........ ........ ........ ........ ........");
  EXPECT_EQ(destinations(computerMovesFrom(b, 4, 6)), (D{{4, 5}}));
  // Captures towards x + 1 before x - 1, and only onto opposing pieces.
  b = boardFromText("........ ........ ........ ....p... ...N.N.. ........ ........ ........");
  EXPECT_EQ(destinations(computerMovesFrom(b, 5, 5)), (D{{5, 4}, {6, 4}, {4, 4}}));
  b = boardFromText("........ ........ ........ ....p... ...n.n.. ........ ........ ........");
  EXPECT_EQ(destinations(computerMovesFrom(b, 5, 5)), (D{{5, 4}}));
  // A pawn on its last rank has nowhere to go.
  b = boardFromText("....P... ........ ........ ........ ........ ........ ........ ....p...");
  EXPECT_EQ(destinations(humanMovesFrom(b, 5, 8)), D{});
  EXPECT_EQ(destinations(computerMovesFrom(b, 5, 1)), D{});
  // The human's pawn captures the computer's king like any piece.
  b = boardFromText("........ ........ ........ ........ ........ ...k.... ....P... ........");
  EXPECT_EQ(destinations(humanMovesFrom(b, 5, 2)), (D{{5, 4}, {5, 3}, {4, 3}}));
}

TEST(Generators, KnightsAndKingsStayOnTheBoard) {
  Board b =
      boardFromText("n....... ........ ........ ........ ........ ........ ........ .......K");
  EXPECT_EQ(computerMovesFrom(b, 1, 8).size(), 2u);
  using D = std::vector<std::array<int, 2>>;
  EXPECT_EQ(destinations(humanMovesFrom(b, 8, 1)), (D{{7, 2}, {8, 2}, {7, 1}}));
  // The king's neighbours come in their fixed order.
  b = boardFromText("........ ........ ........ ....k... ........ ........ ........ ........");
  EXPECT_EQ(destinations(computerMovesFrom(b, 5, 5)),
            (D{{6, 6}, {4, 6}, {4, 4}, {6, 4}, {5, 4}, {5, 6}, {4, 5}, {6, 5}}));
}

TEST(Generators, SquaresWithoutAPieceOfTheSideGiveNothing) {
  const Board b = boardFromText(kStartText);
  EXPECT_TRUE(computerMovesFrom(b, 4, 4).empty());  // empty
  EXPECT_TRUE(computerMovesFrom(b, 1, 2).empty());  // the other side's pawn
  EXPECT_TRUE(humanMovesFrom(b, 1, 7).empty());
  EXPECT_TRUE(computerMovesFrom(b, 0, 0).empty());  // border
  EXPECT_TRUE(humanMovesFrom(b, 9, 10).empty());
}

TEST(Instances, RootScanVisitsRanksDownwardAndFilesLeftToRight) {
  Board b = boardFromText(kStartText);
  seen.clear();
  scanSquares<Side::computer, Ranks::downward, generateComputerMoves<remember>>(b);
  ASSERT_EQ(seen.size(), 20u);
  EXPECT_EQ(seen[0], (Move{3, 6, 2, 8}));
  EXPECT_EQ(seen[2], (Move{8, 6, 7, 8}));
  EXPECT_EQ(seen[4], (Move{1, 5, 1, 7}));
  EXPECT_EQ(seen[19], (Move{8, 6, 8, 7}));
  // The replies scan ranks upward: rank 1's knights come before the pawns.
  seen.clear();
  scanSquares<Side::human, Ranks::upward, generateHumanMoves<remember>>(b);
  ASSERT_EQ(seen.size(), 20u);
  EXPECT_EQ(seen[0], (Move{3, 3, 2, 1}));
  EXPECT_EQ(seen[3], (Move{6, 3, 7, 1}));
  EXPECT_EQ(seen[4], (Move{1, 4, 1, 2}));
}

TEST(AttackMaps, MarkExactlyTheDestinationsAndCountEachMove) {
  board = boardFromText(kStartText);
  clearAttackMaps();
  plyCalls[8] = 0;
  markAttackedSquares<Side::human>(board);
  EXPECT_EQ(plyCalls[8], 20u);  // counted with the fallback's replies, as the turns record them
  for (int y = kLow; y <= kHigh; ++y) {
    for (int x = kLow; x <= kHigh; ++x) {
      EXPECT_EQ(humanAttackMap(x, y), (y == 3 || y == 4) && isPlayable(x, y) ? 1 : 0)
          << x << "," << y;
    }
  }
  // One piece's moves: the knight on (2, 1).
  clearAttackMaps();
  markPieceAttacks<Side::human>(board, 2, 1);
  EXPECT_EQ(plyCalls[8], 22u);
  EXPECT_EQ(humanAttackMap(1, 3) + humanAttackMap(3, 3) + humanAttackMap(4, 2), 2);
  // A computer pawn attacks the king it can capture, and no empty diagonal.
  board = boardFromText("........ ........ ........ ........ ........ ........ ...p.... ....K...");
  clearAttackMaps();
  plyCalls[7] = 0;
  markAttackedSquares<Side::computer>(board);
  EXPECT_EQ(plyCalls[7], 2u);
  EXPECT_EQ(computerAttackMap(5, 1), 1);
  EXPECT_EQ(computerAttackMap(4, 1), 1);
  EXPECT_EQ(computerAttackMap(3, 1), 0);
}

}  // namespace
}  // namespace vombel
