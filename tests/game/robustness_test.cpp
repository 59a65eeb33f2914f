// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Loading damaged files, the history's and the lists' capacities, and odd positions: nothing may
// crash, and nothing may be half taken in.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "game/events.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "search/instances.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/new_game.h"
#include "state/state.h"
#include "tests/support/game_checks.h"
#include "tests/support/game_file.h"
#include "tests/support/scratch_directory.h"

namespace vombel {
namespace {

using testing_support::gameFileText;
using testing_support::numberLine;

// The text of a game file whose entries 0..n are all the given position.
std::string gameText(int n, const Board& position) {
  static Board entries[kMaxHistory + 2];
  for (int i = 0; i <= n; ++i)
    entries[i] = position;
  return gameFileText(n, entries);
}

Board startPosition() {
  Board b;
  setStartPosition(b);
  return b;
}

// The offset in a one-entry file of the line holding cell (x, y) of entry 0.
std::size_t cellLineOffset(const std::string& text, int x, int y) {
  int line = 1 + (y - kLow) * 12 + (x - kLow);
  std::size_t offset = 0;
  while (line-- > 0)
    offset = text.find('\n', offset) + 1;
  return offset;
}

class Robustness : public testing::Test {
 protected:
  // Each test runs in a scratch directory of its own, where Open and Save find juego.vmb.
  void SetUp() override {
    scratch_.enter("vombel-robustness");
    path_ = kGameFileName;
    tablero_Load();
    nuevo_Click();  // forgets a selection left by an earlier test
    selectLevel(false);
  }
  void TearDown() override { scratch_.leave(); }

  void write(const std::string& text) const { testing_support::writeFile(path_, text); }
  bool load() { return static_cast<bool>(loadGameFile(path_.c_str())); }

  // A game in progress, browsed one half-move back and with a square selected, so that a load
  // that changed anything would show.
  void playSomeMoves() {
    for (int pair = 0; pair < 2; ++pair) {
      const auto pairs = checks::legalClickPairs();
      ASSERT_FALSE(pairs.empty());
      c_Click(pairs[pair].from);
      c_Click(pairs[pair].to);
    }
    historia_Scroll(historia.value - 1);
    c_Click(screenIndex(1, 2));
  }

  void expectInvariants() { EXPECT_EQ(checks::brokenInvariant(), ""); }

  // The parts of the state a player sees or saves.
  static std::string gameDifference(const checks::GameSnapshot& a, const checks::GameSnapshot& b) {
    if (std::memcmp(&a.board, &b.board, sizeof(Board)) != 0) return "board";
    if (std::memcmp(a.gameHistory, b.gameHistory, sizeof a.gameHistory) != 0) return "history";
    if (a.moveNumber != b.moveNumber) return "moveNumber";
    if (a.historia.value != b.historia.value || a.historia.max != b.historia.max) return "historia";
    return {};
  }

  testing_support::ScratchDirectory scratch_;
  std::string path_;
};

TEST_F(Robustness, DamagedFilesChangeNothing) {
  playSomeMoves();
  const std::string good = gameText(0, startPosition());
  // Cells (1, 1) and (2, 1) on one line, hidden from a reader that stops at a NUL.
  std::string nulInLine = good;
  const std::size_t rook = cellLineOffset(good, 1, 1);
  nulInLine.replace(rook, cellLineOffset(good, 3, 1) - rook,
                    std::string("-50 \0", 5) + std::string(58, 'x') + " -30 \r\n");
  const std::pair<const char*, std::string> damaged[] = {
      {"empty", ""},
      {"counter only", numberLine(0)},
      {"counter 301", gameText(301, startPosition())},
      {"counter -1", numberLine(-1) + good.substr(good.find('\n') + 1)},
      {"counter not whole", " 0.5 \r\n" + good.substr(good.find('\n') + 1)},
      {"cut short", good.substr(0, good.size() - 8)},
      {"one entry too few", gameText(1, startPosition()).substr(0, good.size())},
      {"trailing number", good + " 2 \r\n"},
      {"border cell not 2", good.substr(0, 5) + " 0 " + good.substr(8)},
      {"not a piece code",
       [&] {
         std::string t = good;
         t.replace(cellLineOffset(good, 4, 4), 3, " 11");
         return t;
       }()},
      {"two numbers on a line",
       [&] {
         std::string t = good;
         t.replace(cellLineOffset(good, 4, 4), 3, " 0 0");
         return t;
       }()},
      {"NUL inside a line", nulInLine},
      {"NUL alone", std::string("\0\r\n", 3) + good.substr(good.find('\n') + 1)},
      {"NUL after a number", std::string(" 0\0\r\n", 5) + good.substr(good.find('\n') + 1)},
      {"number too long", " 99999999999999999999999 \r\n" + good.substr(good.find('\n') + 1)},
      {"letters", "twelve\r\n"},
  };
  const auto before = checks::takeSnapshot();
  for (const auto& [what, text] : damaged) {
    write(text);
    EXPECT_FALSE(load()) << what;
    EXPECT_EQ(checks::firstDifference(*before, *checks::takeSnapshot()), "") << what;
  }
  std::remove(path_.c_str());
  EXPECT_FALSE(load()) << "missing file";
  EXPECT_EQ(checks::firstDifference(*before, *checks::takeSnapshot()), "") << "missing file";
  // After all these failures a valid file loads normally.
  write(good);
  EXPECT_TRUE(load());
  EXPECT_EQ(currentMove(), 0);
}

TEST_F(Robustness, LoadTakesInTheWholeFileAndKeepsLaterEntries) {
  playSomeMoves();
  const Board keptEntry3 = gameHistory[3];
  Board position = startPosition();
  position(5, 2) = kEmpty;
  position(5, 4) = -kPawn;
  // Blanks and line ends of any kind around the numbers are accepted.
  std::string text = gameText(1, position);
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;)
    text.erase(at, 1);
  text.replace(0, 3, "\t1");
  text.insert(cellLineOffset(text, 3, 3), std::string(100, ' '));
  write(text + "\n \n");
  open_Click();
  EXPECT_EQ(currentMove(), 1);
  EXPECT_EQ(historia.value, 1);
  EXPECT_EQ(historia.max, 1);
  EXPECT_EQ(clickState, 0);
  EXPECT_EQ(board(5, 4), -kPawn);
  EXPECT_EQ(std::memcmp(&gameHistory[0], &position, sizeof(Board)), 0);
  EXPECT_EQ(std::memcmp(&gameHistory[3], &keptEntry3, sizeof(Board)), 0);
  expectInvariants();
  // Blanks up to exactly the largest file taken are taken in too; one more is too large.
  text.append(static_cast<std::size_t>(kLargestGameFile) - text.size(), ' ');
  write(text);
  EXPECT_TRUE(load());
  write(text + " ");
  EXPECT_FALSE(load());
}

TEST_F(Robustness, SaveAfterBrowsingBackWritesUpToTheShownPosition) {
  playSomeMoves();  // four half-moves, browsed back to 3
  ASSERT_TRUE(saveGameFile(path_.c_str()));
  nuevo_Click();
  ASSERT_TRUE(load());
  EXPECT_EQ(currentMove(), 3);
  EXPECT_EQ(historia.max, 3);
  expectInvariants();
}

TEST_F(Robustness, FullHistoryTakesNoFurtherHalfMove) {
  write(gameText(299, startPosition()));
  ASSERT_TRUE(load());
  c_Click(screenIndex(5, 2));
  c_Click(screenIndex(5, 4));  // the human's move is entry 300; the computer cannot answer
  EXPECT_EQ(currentMove(), kMaxHistory);
  EXPECT_EQ(board(5, 4), -kPawn);
  expectInvariants();
  const auto full = checks::takeSnapshot();

  force_Click();
  c_Click(screenIndex(4, 2));
  c_Click(screenIndex(4, 4));
  EXPECT_EQ(gameDifference(*full, *checks::takeSnapshot()), "");
  EXPECT_TRUE(checks::legalClickPairs().empty());

  // Castling is refused too once the history is full.
  Board castle = startPosition();
  castle(6, 1) = kEmpty;
  castle(7, 1) = kEmpty;
  write(gameText(kMaxHistory, castle));
  ASSERT_TRUE(load());
  c_Click(60);
  c_Click(62);
  EXPECT_EQ(board(5, 1), kHumanKing);
  EXPECT_EQ(currentMove(), kMaxHistory);
  expectInvariants();

  // Browsing back makes room again.
  historia_Scroll(298);
  c_Click(60);
  c_Click(62);
  EXPECT_EQ(board(6, 1), -kRook);
  EXPECT_EQ(currentMove(), kMaxHistory);
  expectInvariants();
}

TEST_F(Robustness, CrowdedPositionsStayWithinTheLists) {
  // Fifteen queens with open lines: 224 moves, more than a candidate or reply list holds. First
  // the computer's, then (turned half round) the human's.
  const int squares[15][2] = {{1, 3}, {1, 4}, {1, 7}, {2, 1}, {2, 3}, {3, 6}, {4, 1}, {4, 2},
                              {4, 8}, {5, 5}, {6, 1}, {7, 1}, {7, 6}, {7, 7}, {8, 4}};
  for (const bool humanQueens : {false, true}) {
    Board crowded = startPosition();
    for (int x = 1; x <= 8; ++x) {
      for (int y = 1; y <= 8; ++y)
        crowded(x, y) = kEmpty;
    }
    crowded(8, 8) = kComputerKing;
    crowded(1, 1) = kHumanKing;
    for (const auto& [x, y] : squares) {
      if (humanQueens) {
        crowded(9 - x, 9 - y) = -kQueen;
      } else {
        crowded(x, y) = kQueen;
      }
    }
    write(gameText(0, crowded));
    ASSERT_TRUE(load());
    force_Click();
    if (humanQueens) {
      EXPECT_EQ(replyCount, kMaxListEntries);
    } else {
      EXPECT_GT(plyCalls[1], static_cast<unsigned long long>(kMaxListEntries));
      EXPECT_EQ(rootCount, kMaxListEntries);
    }
    EXPECT_EQ(currentMove(), 1);
    expectInvariants();
  }
}

TEST_F(Robustness, ComputerWithoutKingResigns) {
  Board kingless = startPosition();
  kingless(5, 8) = kEmpty;
  write(gameText(0, kingless));
  ASSERT_TRUE(load());
  force_Click();
  EXPECT_TRUE(turnReport.resigned);
  EXPECT_EQ(currentMove(), 1);
  EXPECT_EQ(std::memcmp(&gameHistory[1], &gameHistory[0], sizeof(Board)), 0);
  expectInvariants();
}

TEST_F(Robustness, OddPositionsTakeAnyClicks) {
  Board odd = startPosition();
  odd(5, 1) = kEmpty;  // no human king
  odd(1, 1) = kPawn;   // pawns on their last ranks are promoted when shown
  odd(8, 8) = -kPawn;
  write(gameText(0, odd));
  ASSERT_TRUE(load());
  EXPECT_EQ(board(1, 1), kQueen);
  EXPECT_EQ(board(8, 8), -kQueen);
  expectInvariants();
  for (int a = 0; a < 64; ++a) {  // a click pair from every square, in and out of set-up
    boardsu.value = a % 2;
    c_Click(a);
    c_Click((a * 37 + 11) % 64);
    ASSERT_EQ(checks::brokenInvariant(), "") << "clicks " << a;
  }
  force_Click();
  expectInvariants();
}

// The fuzz targets and the soak rely on these checks seeing a broken state.
TEST_F(Robustness, ChecksSeeBrokenState) {
  expectInvariants();
  const auto good = checks::takeSnapshot();
  const std::pair<const char*, void (*)()> breakages[] = {
      {"border", [] { plyBoard4(9, 3) = 0; }},
      {"code", [] { board(4, 4) = 11; }},
      {"shown", [] { board(4, 4) = kQueen; }},
      {"counter", [] { moveNumber = 1; }},
      {"history", [] { gameHistory[0](0, 5) = 0; }},
      {"list", [] { rootCount = kMaxListEntries + 1; }},
  };
  for (const auto& [what, breakIt] : breakages) {
    breakIt();
    EXPECT_NE(checks::brokenInvariant(), "") << what;
    EXPECT_NE(checks::firstDifference(*good, *checks::takeSnapshot()), "") << what;
    checks::restoreSnapshot(*good);
    EXPECT_EQ(checks::brokenInvariant(), "") << what;
    EXPECT_EQ(checks::firstDifference(*good, *checks::takeSnapshot()), "") << what;
  }
}

}  // namespace
}  // namespace vombel
