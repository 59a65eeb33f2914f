// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The human's turn, castling, free placement, history browsing, the clocks and the saved game.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "game/events.h"
#include "game/marks.h"
#include "game/saved_game.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/state.h"
#include "tests/support/game_file.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

namespace fs = std::filesystem;
using testing_support::boardFromText;
using testing_support::boardToText;
using testing_support::gameFileText;
using testing_support::GameTest;
using testing_support::kStartText;
using testing_support::readFile;
using testing_support::startFrom;

// Square names as screen indexes: file letter a..h, rank 1..8.
int sq(const char* name) {
  return screenIndex(name[0] - 'a' + 1, name[1] - '0');
}

void clickMove(const char* from, const char* to) {
  c_Click(sq(from));
  c_Click(sq(to));
}

class TurnCycle : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    selectLevel(false);  // the replies need not be deep here
  }
};

TEST_F(TurnCycle, SelectingAndDeselecting) {
  c_Click(sq("e4"));  // empty: nothing selected
  EXPECT_EQ(clickState, 0);
  c_Click(sq("e2"));
  EXPECT_EQ(clickState, 1);
  EXPECT_EQ(fromSquare, sq("e2"));
  EXPECT_EQ(c[sq("e2")].appearance, 1);
  c_Click(sq("e2"));
  EXPECT_EQ(clickState, 0);
  EXPECT_EQ(c[sq("e2")].appearance, 0);
  EXPECT_EQ(moveNumber, 0.0f);
}

TEST_F(TurnCycle, LegalMoveIsRecordedAndAnsweredInTheSameClick) {
  clickMove("e2", "e4");
  EXPECT_EQ(moveNumber, 2.0f);
  EXPECT_STREQ(lbl_jugada.caption, "2");
  EXPECT_EQ(historia.max, 2);
  EXPECT_EQ(gameHistory[1](5, 4), -kPawn);
  EXPECT_EQ(gameHistory[1](5, 2), kEmpty);
  EXPECT_EQ(turnReport.turns > 0, true);
  EXPECT_EQ(toSquare, sq("e4"));
}

TEST_F(TurnCycle, RejectedMovesChangeNothing) {
  // Onto an own piece: a move attempt, not a new selection.
  clickMove("e2", "d2");
  EXPECT_EQ(clickState, 0);
  // A computer piece may be selected but not moved.
  clickMove("e7", "e5");
  // A piece that cannot go there.
  clickMove("e2", "e5");
  EXPECT_EQ(moveNumber, 0.0f);
  EXPECT_EQ(boardToText(board), kStartText);
  EXPECT_STREQ(lbl_jugada.caption, "0");
}

TEST_F(TurnCycle, TheKingMayNotBeLeftAttacked) {
  startFrom("....r..k ........ ........ ........ ........ ........ ....B... ....K...");
  clickMove("e2", "d3");  // the bishop is pinned
  EXPECT_EQ(board(5, 2), -kBishop);
  clickMove("e1", "e2");  // still on the rook's file... onto its own bishop: rejected anyway
  clickMove("e1", "f2");
  EXPECT_EQ(moveNumber, 2.0f);  // the king steps aside and the computer replies
}

TEST_F(TurnCycle, TakingTheComputersKingIsRefused) {
  startFrom("....k... ....Q... ........ ........ ........ ........ ........ ....K...");
  clickMove("e7", "e8");
  EXPECT_EQ(board(5, 8), kComputerKing);
  EXPECT_EQ(moveNumber, 0.0f);
}

TEST_F(TurnCycle, FreePlacementMovesAnyPieceWithoutReplyOrRecord) {
  boardsu.value = 1;
  clickMove("d8", "e2");  // the computer's queen takes a human pawn
  EXPECT_EQ(board(5, 2), kQueen);
  EXPECT_EQ(board(4, 8), kEmpty);
  const auto turns = turnReport.turns;
  clickMove("e4", "e7");  // an empty first square selects nothing: the second click selects
  EXPECT_EQ(clickState, 1);
  c_Click(sq("e5"));
  EXPECT_EQ(board(5, 5), kPawn);
  EXPECT_EQ(moveNumber, 0.0f);
  EXPECT_EQ(turnReport.turns, turns);  // no reply was started
  EXPECT_STREQ(lbl_jugada.caption, "0");
}

const char* const kReadyToCastle =
    "rnbqkbnr pppppppp ........ ........ ........ ........ PPPPPPPP R...K..R";

TEST_F(TurnCycle, CastlesOnBothSides) {
  startFrom(kReadyToCastle);
  clickMove("e1", "g1");
  EXPECT_EQ(gameHistory[1](7, 1), kHumanKing);
  EXPECT_EQ(gameHistory[1](6, 1), -kRook);
  EXPECT_EQ(gameHistory[1](8, 1), kEmpty);
  EXPECT_EQ(humanCastled, 1);
  EXPECT_EQ(moveNumber, 2.0f);

  startFrom(kReadyToCastle);
  clickMove("e1", "c1");
  EXPECT_EQ(gameHistory[1](3, 1), kHumanKing);
  EXPECT_EQ(gameHistory[1](4, 1), -kRook);
  EXPECT_EQ(gameHistory[1](1, 1), kEmpty);
  EXPECT_EQ(moveNumber, 2.0f);
}

TEST_F(TurnCycle, CastlingIsStoppedByAttackedSquaresButNotByB1) {
  // A computer rook on the open f-file covers (6, 1): no castling, and the plain two-square king
  // move is no legal move either.
  startFrom("....kr.. ........ ........ ........ ........ ........ PPPPP.PP R...K..R");
  clickMove("e1", "g1");
  EXPECT_EQ(moveNumber, 0.0f);
  EXPECT_EQ(board(5, 1), kHumanKing);
  // A knight covering only (2, 1) does not stop the queen side.
  startFrom("....k... ........ ........ ........ ........ n....... PPPPPPPP R...K..R");
  clickMove("e1", "c1");
  EXPECT_EQ(gameHistory[1](3, 1), kHumanKing);
  // An empty square covered only diagonally by a computer pawn is not attacked.
  startFrom("....k... ........ ........ ........ ........ ........ PPPPPPPp R...K..R");
  clickMove("e1", "g1");
  EXPECT_EQ(gameHistory[1](7, 1), kHumanKing);
}

TEST_F(TurnCycle, CastlingHappensEvenInFreePlacement) {
  startFrom(kReadyToCastle);
  boardsu.value = 1;
  clickMove("e1", "g1");
  EXPECT_EQ(gameHistory[1](7, 1), kHumanKing);
  EXPECT_EQ(moveNumber, 2.0f);
}

TEST_F(TurnCycle, BrowsingBackAndPlayingOn) {
  clickMove("e2", "e4");
  const Board afterReply = board;
  historia_Scroll(0);
  EXPECT_EQ(boardToText(board), kStartText);
  EXPECT_STREQ(lbl_jugada.caption, "0");
  EXPECT_EQ(historia.max, 2);
  historia_Scroll(2);
  EXPECT_EQ(boardToText(board), boardToText(afterReply));
  historia_Scroll(0);
  clickMove("d2", "d4");
  EXPECT_EQ(historia.max, 2);
  EXPECT_EQ(gameHistory[1](4, 4), -kPawn);
  EXPECT_EQ(gameHistory[1](5, 4), kEmpty);
  historia_Scroll(99);  // past the end: the last entry
  EXPECT_EQ(historia.value, 2);
}

TEST_F(TurnCycle, SelectionDoesNotSurviveNewOpenOrBrowsing) {
  clickMove("e2", "e4");
  c_Click(sq("d2"));
  historia_Scroll(0);
  EXPECT_EQ(clickState, 0);
  c_Click(sq("d2"));
  nuevo_Click();
  EXPECT_EQ(clickState, 0);
  EXPECT_EQ(c[sq("d2")].appearance, 0);
}

// The board marks the last move of the position shown, from the history; and a refused move.
TEST_F(TurnCycle, MarksTheShownPositionsLastMoveAndARefusedMove) {
  const auto marks = [](const char* from, const char* to) { return std::pair{sq(from), sq(to)}; };
  const auto shown = [] {
    const MoveSquares m = lastMoveSquares();
    return std::pair{m.from, m.to};
  };
  const std::pair none{-1, -1};
  EXPECT_EQ(shown(), none);  // nothing played
  startFrom(kReadyToCastle);
  EXPECT_EQ(clickSquare(sq("e1")).from, -1);  // a selection refuses nothing
  EXPECT_EQ(clickSquare(sq("g1")).from, -1);  // castled: the king's squares
  const MoveSquares reply = lastMoveSquares();
  EXPECT_EQ(board(screenFile(reply.from), screenRank(reply.from)), kEmpty);
  EXPECT_GT(board(screenFile(reply.to), screenRank(reply.to)), 0);  // the computer's piece
  historia_Scroll(1);
  EXPECT_EQ(shown(), marks("e1", "g1"));
  historia_Scroll(0);
  EXPECT_EQ(shown(), none);
  historia_Scroll(2);

  c_Click(sq("a2"));
  const MoveSquares refused = clickSquare(sq("a5"));
  EXPECT_EQ(std::pair(refused.from, refused.to), marks("a2", "a5"));
  c_Click(sq("a2"));
  EXPECT_EQ(clickSquare(sq("a2")).from, -1);  // put back
  // Set-up mode: a free move is no refused one, and the board no longer shows the last move;
  // recorded with the next move, it is a set-up change, which has no squares either.
  boardsu.value = 1;
  c_Click(sq("a2"));
  EXPECT_EQ(clickSquare(sq("a5")).from, -1);
  EXPECT_EQ(shown(), none);
  boardsu.value = 0;
  clickMove("b2", "b3");
  historia_Scroll(3);
  EXPECT_EQ(shown(), none);
  historia_Scroll(4);
  EXPECT_NE(shown(), none);

  // The computer resigns: its entry repeats the position, no move.
  startFrom(".......k p.....Q. p....K.. ........ ........ ........ .PP..... ........");
  clickMove("b2", "b3");
  ASSERT_EQ(moveNumber, 2.0f);
  EXPECT_EQ(shown(), none);
  historia_Scroll(1);
  EXPECT_EQ(shown(), marks("b2", "b3"));
}

TEST_F(TurnCycle, PlayerClockTicksAndComputerClockIsSeparate) {
  Timer1_Timer();
  Timer1_Timer();
  EXPECT_STREQ(tiempous.caption, "2");
  EXPECT_STREQ(tiempoco.caption, "0");
}

// Runs each test in an empty directory of its own, where juego.vmb lives.
class SavedGame : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    selectLevel(false);
    scratch_.enter("vombel-test");
  }
  void TearDown() override { scratch_.leave(); }
  static std::string read(const char* name) { return readFile(name); }
  // The file of a new game, written out by the tests' own writer.
  static std::string startFile() { return gameFileText(0, gameHistory); }
  testing_support::ScratchDirectory scratch_;
};

TEST_F(SavedGame, SavingANewGameWritesTheStartPosition) {
  guardar_Click();
  const std::string text = read(kGameFileName);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 145);
  EXPECT_EQ(text.substr(0, 10), " 0 \r\n 2 \r\n");
  EXPECT_NE(text.find("-10000 \r\n"), std::string::npos);
  EXPECT_NE(text.find(" 15000 \r\n"), std::string::npos);
  EXPECT_EQ(text, startFile());
  EXPECT_FALSE(fs::exists("juego.vmb.tmp"));
}

TEST_F(SavedGame, RoundTripRestoresTheSavedGameButNotTheClocks) {
  clickMove("e2", "e4");
  guardar_Click();
  const Board saved = board;
  clickMove("d2", "d4");
  Timer1_Timer();
  open_Click();
  EXPECT_EQ(moveNumber, 2.0f);
  EXPECT_EQ(historia.max, 2);
  EXPECT_EQ(historia.value, 2);
  EXPECT_STREQ(lbl_jugada.caption, "2");
  EXPECT_EQ(std::memcmp(&board, &saved, sizeof(Board)), 0);
  EXPECT_STREQ(tiempous.caption, "1");
  EXPECT_TRUE(easy.value);
}

TEST_F(SavedGame, FullHistoryStillSavesWithinTheFormat) {
  for (int i = 1; i <= kMaxHistory; ++i)
    gameHistory[i] = gameHistory[0];
  moveNumber = kMaxHistory;
  setHistoriaMax(kMaxHistory);
  setHistoriaValue(kMaxHistory);
  force_Click();
  guardar_Click();
  nuevo_Click();
  open_Click();
  EXPECT_EQ(moveNumber, static_cast<float>(kMaxHistory));
  EXPECT_EQ(historia.max, kMaxHistory);
}

}  // namespace
}  // namespace vombel
