// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The computer's turn: what it plays, what it records, castling, the fallback and resignation,
// and the capacities of the candidate and reply lists.
#include "search/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "eval/evaluation.h"
#include "game/events.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "search/instances.h"
#include "search/scan.h"
#include "search/search_threads.h"
#include "state/history.h"
#include "state/state.h"
#include "tests/support/game_checks.h"
#include "tests/support/game_file.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

using testing_support::beeps;
using testing_support::boardFromText;
using testing_support::boardToText;
using testing_support::GameTest;
using testing_support::highestProgress;
using testing_support::messages;
using testing_support::startFrom;

using ComputerTurn = GameTest;

TEST_F(ComputerTurn, FromTheStartPositionRecordsOneEntryAndResetsTheProgressBar) {
  force_Click();
  EXPECT_EQ(rootMaterial, 5000.0f);
  EXPECT_EQ(rootCount, 20);
  EXPECT_EQ(plyCalls[1], 20u);
  EXPECT_EQ(plyCalls[8], 20u);  // the human's moves marked for the castling test
  EXPECT_EQ(Progreso.max, 20);
  EXPECT_EQ(highestProgress, 20);  // no candidate wins material, so all are searched
  EXPECT_EQ(Progreso.value, 0);
  EXPECT_EQ(moveNumber, 1.0f);
  EXPECT_EQ(historia.max, 1);
  EXPECT_EQ(historia.value, 1);
  EXPECT_STREQ(lbl_jugada.caption, "1");
  EXPECT_EQ(cutoffFlag, kFlagClear);
  EXPECT_EQ(beeps, 1);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(materialSum(board), 5000.0f);
  // Exactly one computer piece has moved.
  int changed = 0;
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x)
      if (board(x, y) != gameHistory[0](x, y)) ++changed;
  }
  EXPECT_EQ(changed, 2);
}

TEST_F(ComputerTurn, TakesTheKingWhenTheHumanIsLeftWithoutAMove) {
  startFrom("....k... ........ ........ ........ ........ ........ ...q.... ....K...");
  force_Click();
  EXPECT_EQ(bestScore1, kHighestScore);
  EXPECT_EQ(boardToText(board),
            "....k... ........ ........ ........ ........ ........ ........ ....q...");
}

TEST_F(ComputerTurn, ClockKeepsWholeSecondsAfterEveryTurn) {
  static const double times[] = {100, 102.6, 200, 200.4, 300, 301.2};
  static int next = 0;
  next = 0;
  setClock([] { return times[next++]; });
  selectLevel(false);
  force_Click();
  EXPECT_EQ(computerTime, 2.0);
  force_Click();
  EXPECT_EQ(computerTime, 2.0);
  force_Click();
  EXPECT_EQ(computerTime, 3.0);
  EXPECT_STREQ(tiempoco.caption, "3");
}

TEST_F(ComputerTurn, ResignsWhenEveryMoveLosesTheKingAtOnce) {
  // Mated: the guarded queen on (2, 7) covers every square of the king.
  startFrom("k....... .Q...... ..K..... ........ ........ ........ ........ ........");
  selectLevel(false);
  const Board before = board;
  force_Click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Computer resignes");
  EXPECT_TRUE(turnReport.resigned);
  EXPECT_EQ(boardToText(board), boardToText(before));
  EXPECT_EQ(moveNumber, 1.0f);  // the unchanged position is still recorded
  EXPECT_EQ(beeps, 1);
}

TEST_F(ComputerTurn, CastlingCandidates) {
  // King side free and unattacked: the castled position is the last candidate.
  startFrom("r...k..r pppppppp ........ ........ ........ ........ PPPPPPPP ....K...");
  rootCount = 0;
  addComputerCastling();
  ASSERT_EQ(rootCount, 1);
  Board castled =
      boardFromText("r....rk. pppppppp ........ ........ ........ ........ PPPPPPPP ....K...");
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x)
      EXPECT_EQ(rootPositions[1](x, y), castled(x, y));
  }
  // A human move onto (6, 8) stops all castling, the queen side included.
  startFrom("r...k..r ppppp.pp ........ ........ ........ ........ PPPPP.PP ....KR..");
  rootCount = 0;
  addComputerCastling();
  EXPECT_EQ(rootCount, 0);
  // No rook on (8, 8): the queen side is offered, even with (2, 8) attacked.
  startFrom("r...k... p.pppppp ........ ........ ........ ........ .PPPPPPP .R..K...");
  rootCount = 0;
  addComputerCastling();
  ASSERT_EQ(rootCount, 1);
  EXPECT_EQ(rootPositions[1](3, 8), kComputerKing);
  EXPECT_EQ(rootPositions[1](4, 8), kRook);
  EXPECT_EQ(rootPositions[1](1, 8), kEmpty);
}

TEST_F(ComputerTurn, ListsNeverGrowPastTwoHundredEntries) {
  // 218 moves for the computer, and the mirror image for the human.
  const char* const crowded =
      "Kbnn.kb. PP.q.... q....q.. ..q....q ....q... .q....q. ...q.... r......r";
  const char* const mirrored =
      "R......R ...Q.... .Q....Q. ....Q... ..Q....Q Q....Q.. pp.Q.... kBNN.KB.";
  board = boardFromText(crowded);
  for (auto& calls : plyCalls)
    calls = 0;
  rootCount = 0;
  scanSquares<Side::computer, Ranks::downward, ply1Generator>(board);
  EXPECT_GT(plyCalls[1], 200u);
  EXPECT_EQ(rootCount, kMaxListEntries);
  addComputerCastling();
  EXPECT_EQ(rootCount, kMaxListEntries);

  plyBoard1 = boardFromText(mirrored);
  replyCount = 0;
  scanSquares<Side::human, Ranks::upward, ply2Generator>(plyBoard1);
  EXPECT_GT(plyCalls[2], 200u);
  EXPECT_EQ(replyCount, kMaxListEntries);
}

// A game from the start position in which White plays the legal move that takes the most
// (the first such in click order) and the computer answers, with `threads` search threads: per
// turn the position played, the counts and the highest value the progress bar showed, and the
// saved file.
struct Game {
  std::vector<std::string> turns;
  std::string file;
};
Game playGame(int threads, bool isDifficult) {
  EXPECT_TRUE(setSearchThreads(threads));
  startFrom(testing_support::kStartText);
  selectLevel(isDifficult);
  Game game;
  for (int t = 0; t < (isDifficult ? 16 : 30); ++t) {
    const auto pairs = checks::legalClickPairs();
    if (pairs.empty()) break;
    const auto best = std::max_element(
        pairs.begin(), pairs.end(),
        [](const auto& a, const auto& b) { return a.materialGain < b.materialGain; });
    const auto before = turnReport.turns;
    highestProgress = 0;
    c_Click(best->from);
    c_Click(best->to);
    if (turnReport.turns == before || turnReport.resigned) break;
    std::string turn = boardToText(board);
    for (int k = 1; k <= 8; ++k)
      turn.append(1, ' ').append(std::to_string(plyCalls[k]));
    game.turns.push_back(turn.append(" progress ").append(std::to_string(highestProgress)));
  }
  EXPECT_TRUE(saveGameFile("game.vmb"));
  game.file = testing_support::readFile("game.vmb");
  setSearchThreads(1);
  return game;
}

TEST_F(ComputerTurn, GamesAreTheSameWithAnyNumberOfSearchThreads) {
  testing_support::ScratchDirectory scratch;
  scratch.enter("threads");
  for (const bool isDifficult : {false, true}) {
    const Game alone = playGame(1, isDifficult);
    EXPECT_GE(alone.turns.size(), 10u);
    for (const int threads : {2, 3, 8}) {
      const Game game = playGame(threads, isDifficult);
      EXPECT_EQ(game.turns, alone.turns) << threads << " threads";
      EXPECT_TRUE(game.file == alone.file) << threads << " threads: the saved files differ";
    }
  }
  scratch.leave();
}

}  // namespace
}  // namespace vombel

namespace vombel {
namespace {

using testing_support::GameTest;
using testing_support::messages;

class Fallback : public GameTest {
 protected:
  void loadCase(const char* name) {
    ASSERT_TRUE(loadGameFile((std::string(CASES_DIR) + "/" + name).c_str()));
    selectLevel(false);
  }
};

TEST_F(Fallback, PawnPlayedToTheLastRankIsPromotedWhenPainted) {
  loadCase("hand_fallback_promote.vmb");
  force_Click();
  EXPECT_TRUE(messages.empty());
  EXPECT_GT(plyCalls[7], 0u);
  EXPECT_GE(bestScore1, 0.0f);
  // The fallback scores the move as a pawn; the painted and recorded position holds a queen.
  int queensOnRankOne = 0;
  for (int x = 1; x <= 8; ++x) {
    EXPECT_NE(board(x, 1), kPawn);
    if (board(x, 1) == kQueen) ++queensOnRankOne;
    EXPECT_EQ(gameHistory[currentMove()](x, 1), board(x, 1));
  }
  EXPECT_EQ(queensOnRankOne, 1);
}

TEST_F(Fallback, SurvivingMoveIsPlayedWithoutAMessage) {
  loadCase("hand_fallback.vmb");
  const Board before = board;
  force_Click();
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(turnReport.resigned);
  EXPECT_GE(bestScore1, 0.0f);
  EXPECT_NE(testing_support::boardToText(board), testing_support::boardToText(before));
}

}  // namespace
}  // namespace vombel
