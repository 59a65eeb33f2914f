// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The last ply counted in bulk against the generator: each human piece's destinations, reach,
// number of leaf moves and lowest leaf material on random and crowded positions, and whole
// computer turns with the bulk count and with a callback per leaf, which must agree in every
// count, score and move.
#include "search/leaves.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "eval/evaluation.h"
#include "game/events.h"
#include "movegen/generators.h"
#include "movegen/targets.h"
#include "platform/controls.h"
#include "platform/hints.h"
#include "search/instances.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/state.h"
#include "tests/support/suite.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

using testing_support::boardToText;
using testing_support::GameTest;
using testing_support::startFrom;

// A random position: each square holds a piece with probability `density`, either side's, any
// kind; both kings somewhere (unless `kings` is false). With `stalePawns`, pawns may also stand
// on their own side's last rank, as free placement can leave them.
Board randomBoard(std::mt19937& random, double density, bool kings, bool stalePawns) {
  Board b{};
  for (int x = kLow; x <= kHigh; ++x) {
    for (int y = kLow; y <= kHigh; ++y)
      b(x, y) = isPlayable(x, y) ? kEmpty : kBorder;
  }
  const std::int32_t kinds[] = {kPawn, kKnight, kBishop, kRook, kQueen};
  std::uniform_real_distribution<double> chance(0, 1);
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y) {
      if (chance(random) >= density) continue;
      const bool human = chance(random) < 0.5;
      std::int32_t code = kinds[random() % 5];
      if (code == kPawn && !stalePawns && y == (human ? 8 : 1)) code = kKnight;
      b(x, y) = human ? -code : code;
    }
  }
  if (kings) {
    std::uniform_int_distribution<int> coordinate(1, 8);
    b(coordinate(random), coordinate(random)) = kComputerKing;
    int x, y;
    do {
      x = coordinate(random);
      y = coordinate(random);
    } while (b(x, y) == kComputerKing);
    b(x, y) = kHumanKing;
  }
  return b;
}

std::set<int> generated;
void rememberDestination(int toX, int toY, int, int) {
  generated.insert(screenIndex(toX, toY));
}

std::set<int> squaresOf(std::uint64_t set) {
  std::set<int> squares;
  for (int a = 0; a < 64; ++a) {
    if (((set >> a) & 1) != 0) squares.insert(a);
  }
  return squares;
}

Summary summaryOf(const Board& b) {
  Summary s{wholeMaterialSum(b), 0, 0};
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y) {
      if (b(x, y) > 0) s.computerPieces |= squareBit(x, y);
      if (b(x, y) < 0) s.humanPieces |= squareBit(x, y);
    }
  }
  return s;
}

// Densities from a sparse endgame to a packed board.
const double kDensities[] = {0.1, 0.3, 0.5, 0.7, 0.9, 1.0};

// b with every square outside `reach`, but the piece's own square a, given random contents: a
// piece's moves, which only its reach decides, must stay the same there.
Board scrambledOutside(const Board& b, std::uint64_t reach, int a, std::mt19937& random) {
  const std::int32_t codes[] = {kEmpty, kPawn, -kPawn, kQueen, -kRook};
  std::uniform_int_distribution<int> pick(0, 4);
  Board changed = b;
  for (int other = 0; other < 64; ++other) {
    if (other == a || ((reach >> other) & 1) != 0) continue;
    changed(screenFile(other), screenRank(other)) = codes[pick(random)];
  }
  return changed;
}

TEST(BulkTargets, SameDestinationsAsTheGeneratorAndNothingOutsideTheReachMatters) {
  std::mt19937 random(11);
  int pieces = 0;
  for (int round = 0; round < 300; ++round) {
    const Board b = randomBoard(random, kDensities[round % 6], true, true);
    const Summary s = summaryOf(b);
    for (int a = 0; a < 64; ++a) {
      const int x = screenFile(a);
      const int y = screenRank(a);
      generated.clear();
      generateHumanMoves<rememberDestination>(b, x, y);
      const PieceSquares squares = humanPieceSquares(b(x, y), a, s.computerPieces, s.humanPieces);
      ASSERT_EQ(squaresOf(squares.targets), generated) << boardToText(b) << " square " << a;
      ASSERT_EQ(squares.targets & ~squares.reach, 0u);
      ASSERT_EQ(squareCount(squares.targets), static_cast<int>(generated.size()));
      if (b(x, y) >= 0) continue;
      ++pieces;
      const Board changed = scrambledOutside(b, squares.reach, a, random);
      const Summary t = summaryOf(changed);
      const PieceSquares after = humanPieceSquares(b(x, y), a, t.computerPieces, t.humanPieces);
      ASSERT_EQ(after.targets, squares.targets) << boardToText(changed) << " square " << a;
      ASSERT_EQ(after.reach, squares.reach);
    }
  }
  EXPECT_GT(pieces, 3000);
}

TEST(BulkTargets, SquareCountCountsBits) {
  std::mt19937_64 random(5);
  for (int i = 0; i < 1000; ++i) {
    const std::uint64_t s = random() & random();
    EXPECT_EQ(squareCount(s), static_cast<int>(squaresOf(s).size()));
  }
}

// The reference leaf: the callback's work done in full, the move played on a copy with the
// ply's promotion and the material summed over the 64 squares.
const Board* leafParent;
int leafCount;
std::int32_t lowestLeaf;
void scoreLeaf(int toX, int toY, int fromX, int fromY) {
  Board child = *leafParent;
  makeMove(child, fromX, fromY, toX, toY);
  if (child(toX, 8) == -kPawn) child(toX, 8) = -kQueen;
  ++leafCount;
  lowestLeaf = std::min(lowestLeaf, wholeMaterialSum(child));
}

void expectSameLeaves(const LeafMoves& bulk, const Board& parent, int a) {
  leafParent = &parent;
  leafCount = 0;
  lowestLeaf = 1 << 30;
  generateHumanMoves<scoreLeaf>(parent, screenFile(a), screenRank(a));
  ASSERT_EQ(bulk.count, leafCount) << boardToText(parent) << " square " << a;
  if (leafCount > 0) {
    ASSERT_EQ(wholeMaterialSum(parent) - bulk.gain, lowestLeaf)
        << boardToText(parent) << " square " << a;
  }
}

TEST(BulkLeaves, CountAndLowestMaterialOfEveryPieceAsTheCallbacksFindThem) {
  std::mt19937 random(3);
  for (int round = 0; round < 300; ++round) {
    const Board b = randomBoard(random, kDensities[round % 6], round % 7 != 0, false);
    ASSERT_FALSE(stalePawn(b));
    const Summary s = summaryOf(b);
    for (int a = 0; a < 64; ++a) {
      if (b(screenFile(a), screenRank(a)) < 0) expectSameLeaves(humanLeafMoves(b, s, a), b, a);
    }
  }
}

// A leaf's parent read as the board above plus the computer move that made it.
std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> computerMoves;
void rememberComputerMove(int toX, int toY, int fromX, int fromY) {
  computerMoves.push_back({{toX, toY}, {fromX, fromY}});
}

// Calls visit(parent, arrived, left) for every computer move of above, as the generator finds it:
// parent is above after the move (a pawn reaching rank 1 promoted), arrived the moved piece on
// its destination, left the square it came from.
template <typename Visit>
void forEachComputerMove(const Board& above, Visit visit) {
  computerMoves.clear();
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y)
      generateComputerMoves<rememberComputerMove>(above, x, y);
  }
  // The generator filled computerMoves through rememberComputerMove, which cppcheck does not see.
  // cppcheck-suppress knownEmptyContainer
  for (const auto& [to, from] : computerMoves) {
    Board parent = above;
    makeMove(parent, from.first, from.second, to.first, to.second);
    if (parent(to.first, 1) == kPawn) parent(to.first, 1) = kQueen;
    const ArrivedPiece arrived{squareBit(to.first, to.second), parent(to.first, to.second)};
    visit(parent, arrived, squareBit(from.first, from.second));
  }
}

TEST(BulkLeaves, ParentReadAsTheBoardAbovePlusTheArrivedPiece) {
  std::mt19937 random(8);
  int checked = 0;
  for (int round = 0; round < 120; ++round) {
    const Board above = randomBoard(random, kDensities[round % 6], true, false);
    forEachComputerMove(above, [&](const Board& parent, ArrivedPiece arrived, std::uint64_t) {
      const Summary s = summaryOf(parent);
      for (int a = 0; a < 64; ++a) {
        if (parent(screenFile(a), screenRank(a)) >= 0) continue;
        expectSameLeaves(humanLeafMoves(above, s, a, arrived), parent, a);
        ++checked;
      }
    });
  }
  EXPECT_GT(checked, 10000);
}

void expectSameMoves(const LeafMoves& fast, const LeafMoves& reference, const Board& b, int a) {
  ASSERT_EQ(fast.count, reference.count) << boardToText(b) << " square " << a;
  if (reference.count != 0) {
    ASSERT_EQ(fast.gain, reference.gain) << boardToText(b) << " square " << a;
  }
  ASSERT_EQ(fast.reach, reference.reach) << boardToText(b) << " square " << a;
}

TEST(BulkLeaves, CapturesPricedByKindAsOnTheBoard) {
  std::mt19937 random(13);
  for (int round = 0; round < 300; ++round) {
    const Board b = randomBoard(random, kDensities[round % 6], round % 5 != 0, false);
    const Summary s = summaryOf(b);
    const ComputerKinds kinds = computerKinds(b);
    for (int a = 0; a < 64; ++a) {
      const std::int32_t code = b(screenFile(a), screenRank(a));
      if (code > 0) {
        EXPECT_EQ(heaviestCapture(squareBit(screenFile(a), screenRank(a)), kinds), code);
      }
      if (code >= 0) continue;
      expectSameMoves(humanLeafMovesByKind(code, a, s, kinds), humanLeafMoves(b, s, a), b, a);
    }
  }
}

// Every computer move of random positions; for every human piece but the one captured, its moves
// after the move from those before (humanLeafMovesAfterMove, not for pawns), and from scratch with
// the kinds of the board above (humanLeafMovesByKind), as humanLeafMoves finds them (which the
// test above holds to the generator).
TEST(BulkLeaves, MovesAfterAComputerMoveFollowFromThoseBefore) {
  std::mt19937 random(17);
  int followed = 0;
  for (int round = 0; round < 150; ++round) {
    const Board above = randomBoard(random, kDensities[round % 6], true, false);
    const Summary before = summaryOf(above);
    const ComputerKinds kinds = computerKinds(above);
    forEachComputerMove(above, [&](const Board& parent, ArrivedPiece arrived, std::uint64_t left) {
      const Summary after = summaryOf(parent);
      for (int a = 0; a < 64; ++a) {
        const std::int32_t code = parent(screenFile(a), screenRank(a));
        if (code >= 0) continue;
        const LeafMoves reference = humanLeafMoves(above, after, a, arrived);
        expectSameMoves(humanLeafMovesByKind(code, a, after, kinds, arrived), reference, parent, a);
        if (code == -kPawn) continue;
        const LeafMoves followedMoves = humanLeafMovesAfterMove(
            code, a, humanLeafMoves(above, before, a), before, kinds, left, arrived);
        expectSameMoves(followedMoves, reference, parent, a);
        ++followed;
      }
    });
  }
  EXPECT_GT(followed, 20000);
}

// The computer's moves as a list, against the generator's destinations in order, on random
// positions of every density (pawns on rank 1 included, which have no move); and whatever stands
// outside a piece's reach, the list stays.
std::vector<int> generatedOrder;
std::vector<int> destinationsOf(const ComputerMoves& list) {
  return std::vector<int>(list.to, list.to + list.count);
}
void rememberInOrder(int toX, int toY, int, int) {
  generatedOrder.push_back(screenIndex(toX, toY));
}

TEST(BulkTargets, ComputerMoveListInTheGeneratorsOrder) {
  std::mt19937 random(19);
  int moves = 0;
  for (int round = 0; round < 400; ++round) {
    const Board b = randomBoard(random, kDensities[round % 6], round % 3 != 0, round % 2 == 0);
    const Summary s = summaryOf(b);
    for (int a = 0; a < 64; ++a) {
      generatedOrder.clear();
      generateComputerMoves<rememberInOrder>(b, screenFile(a), screenRank(a));
      ComputerMoves list;
      listComputerMoves(b(screenFile(a), screenRank(a)), a, s.computerPieces, s.humanPieces, list);
      ASSERT_EQ(destinationsOf(list), generatedOrder) << boardToText(b) << " square " << a;
      moves += list.count;

      const Board changed = scrambledOutside(b, list.reach, a, random);
      const Summary t = summaryOf(changed);
      ComputerMoves after;
      listComputerMoves(b(screenFile(a), screenRank(a)), a, t.computerPieces, t.humanPieces, after);
      ASSERT_EQ(destinationsOf(after), destinationsOf(list))
          << boardToText(changed) << " square " << a;
      ASSERT_EQ(after.reach, list.reach);
    }
  }
  EXPECT_GT(moves, 20000);
}

TEST(BulkTargets, SquaresBeyondAndPastASquareOnARay) {
  // From a1 through c3: d4 to h8 lie beyond c3; with e5 occupied, a ray past c3 runs to e5.
  const int a1 = screenIndex(1, 1);
  const int c3 = screenIndex(3, 3);
  const std::uint64_t d4ToH8 =
      squareBit(4, 4) | squareBit(5, 5) | squareBit(6, 6) | squareBit(7, 7) | squareBit(8, 8);
  EXPECT_EQ(squaresBeyond(a1, c3), d4ToH8);
  EXPECT_EQ(squaresPast(a1, c3, squareBit(5, 5) | squareBit(7, 7)),
            squareBit(4, 4) | squareBit(5, 5));
  EXPECT_EQ(squaresPast(a1, c3, 0), d4ToH8);
  // c2 is on no ray from a1 (a knight's jump away); h1 is the last square of its rank.
  EXPECT_EQ(squaresBeyond(a1, screenIndex(3, 2)), 0u);
  EXPECT_EQ(squaresBeyond(a1, screenIndex(8, 1)), 0u);
  EXPECT_EQ(squaresBeyond(screenIndex(8, 1), screenIndex(5, 1)),
            squareBit(4, 1) | squareBit(3, 1) | squareBit(2, 1) | squareBit(1, 1));
}

TEST(BulkLeaves, StalePawnsAreFoundOnEitherLastRank) {
  Board b = testing_support::boardFromText(testing_support::kStartText);
  EXPECT_FALSE(stalePawn(b));
  b(3, 8) = -kPawn;
  EXPECT_TRUE(stalePawn(b));
  b(3, 8) = kPawn;  // a computer pawn on rank 8 is an ordinary pawn
  EXPECT_FALSE(stalePawn(b));
  b(6, 1) = kPawn;
  EXPECT_TRUE(stalePawn(b));
}

// One computer turn from position at the level, with the bulk count on or off: what it counted,
// found and played.
struct Turn {
  unsigned long long calls[9];
  float score;
  std::string played;
  bool resigned;
};

Turn playTurn(const std::string& position, const std::vector<std::pair<int, int>>& stale,
              bool isDifficult, bool bulk) {
  startFrom(position);
  for (const auto& [x, y] : stale)
    board(x, y) = y == 8 ? -kPawn : kPawn;  // after the repaint, which would promote them
  selectLevel(isDifficult);
  bulkLeaves = bulk;
  computerMove();
  bulkLeaves = true;
  Turn t{};
  std::copy(std::begin(plyCalls), std::end(plyCalls), t.calls);
  t.score = bestScore1;
  t.played = boardToText(board);
  t.resigned = turnReport.resigned;
  return t;
}

void expectSameTurns(const Turn& t, const Turn& reference, const std::string& position) {
  for (int k = 1; k <= 8; ++k)
    EXPECT_EQ(t.calls[k], reference.calls[k]) << "ply " << k << " from " << position;
  EXPECT_EQ(t.score, reference.score) << position;
  EXPECT_EQ(t.played, reference.played) << position;
  EXPECT_EQ(t.resigned, reference.resigned) << position;
}

void expectSameTurn(const std::string& position, const std::vector<std::pair<int, int>>& stale,
                    bool isDifficult) {
  const Turn reference = playTurn(position, stale, isDifficult, false);
  expectSameTurns(playTurn(position, stale, isDifficult, true), reference, position);
}

using BulkSearch = GameTest;

TEST_F(BulkSearch, RandomPositionsPlayAsWithACallbackPerLeaf) {
  std::mt19937 random(21);
  for (int round = 0; round < 40; ++round) {
    const bool isDifficult = round % 4 == 0;
    const double density = isDifficult ? 0.1 + 0.05 * (round % 4) : kDensities[round % 6];
    const Board b = randomBoard(random, density, round % 9 != 0, false);
    SCOPED_TRACE(round);
    expectSameTurn(boardToText(b), {}, isDifficult);
  }
}

TEST_F(BulkSearch, CopyForAnyCpuPlaysAsTheCopyWithBitCount) {
  // The tests run the bit-count copy wherever the CPU has the instruction; this one holds the
  // other copy to it.
  if (!bitCountCopy) GTEST_SKIP() << "the copy for any CPU chosen at start-up";
  std::mt19937 random(34);
  for (int round = 0; round < 8; ++round) {
    const std::string position =
        boardToText(randomBoard(random, 0.15 + 0.05 * (round % 4), round % 4 != 3, false));
    SCOPED_TRACE(round);
    bitCountCopy = false;
    const Turn anyCpu = playTurn(position, {}, true, true);
    bitCountCopy = true;
    expectSameTurns(anyCpu, playTurn(position, {}, true, true), position);
  }
}

TEST_F(BulkSearch, DispatchRunsTheCopyChosen) {
  // Both copies count alike, so only the copy's own record tells them apart: a dispatch that
  // ran the bit-count copy where the copy for any CPU was chosen would stop a CPU without the
  // instruction at its first Difficult move. Either copy may run where the CPU has the
  // instruction; the run of this program that forces the copy for any CPU tries only that one.
  const bool chosen = bitCountCopy;
  std::vector<bool> copies = {false};
  if (chosen) copies.push_back(true);
  for (const bool withBitCount : copies) {
    SCOPED_TRACE(withBitCount);
    bitCountCopy = withBitCount;
    bulkCopyRan = BulkCopy::none;
    playTurn(testing_support::kStartText, {}, true, true);
    EXPECT_EQ(bulkCopyRan.load(), withBitCount ? BulkCopy::bitCount : BulkCopy::anyCpu);
  }
  bitCountCopy = chosen;

  // Easy has no bulk ply 5, and the count with a callback per leaf runs neither copy.
  bulkCopyRan = BulkCopy::none;
  playTurn(testing_support::kStartText, {}, false, true);
  playTurn(testing_support::kStartText, {}, true, false);
  EXPECT_EQ(bulkCopyRan.load(), BulkCopy::none);
}

TEST_F(BulkSearch, StartUpChoosesTheCopyForTheCpu) {
  // The bit-count copy where the CPU has the instruction, unless the tests force the other
  // (VOMBEL_TEST_PORTABLE_SEARCH=1, a second run of this program); then every test runs it.
  EXPECT_EQ(bitCountCopy, cpuHasBitCount() && !testing_support::portableCopyForced());
  bulkCopyRan = BulkCopy::none;
  playTurn(testing_support::kStartText, {}, true, true);
  EXPECT_EQ(bulkCopyRan.load(), bitCountCopy ? BulkCopy::bitCount : BulkCopy::anyCpu);
}

TEST_F(BulkSearch, StalePawnsOnTheLastRanksPlayAsWithACallbackPerLeaf) {
  // A human pawn left on rank 8 is promoted by any human move ending on its file; a computer
  // pawn on rank 1 likewise by a computer move.
  const std::string position =
      "..r.k... .p...p.. ..q..... ........ ...Q.... ..n..... P...PP.. ....K...";
  for (const bool isDifficult : {false, true}) {
    expectSameTurn(position, {{2, 8}}, isDifficult);
    expectSameTurn(position, {{7, 1}}, isDifficult);
    expectSameTurn(position, {{2, 8}, {7, 1}}, isDifficult);
  }
}

TEST_F(BulkSearch, CrowdedPositionsPlayAsWithACallbackPerLeaf) {
  for (const auto& file : testing::crowdedFiles()) {
    SCOPED_TRACE(file.string());
    ASSERT_TRUE(testing::loadTurn(file, false));
    expectSameTurn(boardToText(board), {}, false);
  }
}

}  // namespace
}  // namespace vombel
