// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A new game, the shared board operations and painting.
#include "state/state.h"

#include <gtest/gtest.h>

#include <cstring>

#include "game/events.h"
#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/new_game.h"
#include "state/painting.h"
#include "tests/support/pictures.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

using testing_support::boardFromText;
using testing_support::boardToText;
using testing_support::GameTest;
using testing_support::kStartText;
using testing_support::startFrom;

using NewGame = GameTest;

void expectAllTwo(const Board& b, bool playableToo) {
  for (int y = kLow; y <= kHigh; ++y) {
    for (int x = kLow; x <= kHigh; ++x) {
      if (playableToo || !isPlayable(x, y)) {
        EXPECT_EQ(b(x, y), kBorder) << x << "," << y;
      }
    }
  }
}

TEST_F(NewGame, SetsUpTheStartPositionAndFillsTheWorkingBoards) {
  EXPECT_EQ(boardToText(board), kStartText);
  expectAllTwo(board, false);
  for (const Board* b : {&bestBoard, &trialBoard, &plyBoard1, &plyBoard2, &plyBoard3, &plyBoard4,
                         &plyBoard5, &plyBoard6}) {
    expectAllTwo(*b, true);
  }
  EXPECT_EQ(std::memcmp(&gameHistory[0], &board, sizeof(Board)), 0);
  EXPECT_STREQ(squareColours[0], "b");
  EXPECT_STREQ(squareColours[9], "b");
  EXPECT_STREQ(squareColours[63], "b");
  EXPECT_STREQ(squareColours[1], "n");
  EXPECT_STREQ(squareColours[8], "n");
  EXPECT_STREQ(squareColours[62], "n");
  EXPECT_EQ(screenIndex(5, 1), 60);
  EXPECT_EQ(screenIndex(5, 8), 4);
  EXPECT_EQ(screenIndex(1, 1), 56);
}

TEST_F(NewGame, InTheMiddleOfAGameResetsControlsAndClocks) {
  selectLevel(false);
  boardsu.value = 1;
  force_Click();
  force_Click();
  setCaption(tiempous, "17");
  nuevo_Click();
  EXPECT_EQ(boardToText(board), kStartText);
  EXPECT_EQ(moveNumber, 0.0f);
  EXPECT_EQ(historia.value, 0);
  EXPECT_EQ(historia.max, 0);
  EXPECT_STREQ(lbl_jugada.caption, "0");
  EXPECT_STREQ(tiempous.caption, "0");
  EXPECT_STREQ(tiempoco.caption, "0");
  EXPECT_TRUE(difficult.value);
  EXPECT_FALSE(easy.value);
  EXPECT_EQ(boardsu.value, 0);
  // Twice in a row is the same as once.
  const Board once = board;
  nuevo_Click();
  EXPECT_EQ(std::memcmp(&once, &board, sizeof(Board)), 0);
}

TEST_F(NewGame, AlwaysStartsFromTheStandardPositionEvenAfterAnEditedFirstEntry) {
  // A loaded game whose entry 0 is not the start position, browsed forward.
  gameHistory[0] =
      boardFromText("....k... ........ ........ ........ ........ ........ ........ ....K...");
  gameHistory[1] = gameHistory[0];
  moveNumber = 1;
  setHistoriaMax(1);
  setHistoriaValue(1);
  nuevo_Click();
  EXPECT_EQ(boardToText(board), kStartText);
  EXPECT_EQ(boardToText(gameHistory[0]), kStartText);
}

TEST(BoardOps, CopyKeepsTheBorderAndMoveEmptiesTheOrigin) {
  Board source = boardFromText(kStartText);
  Board destination = {};
  copyBoard(destination, source);
  EXPECT_EQ(destination(0, 0), 0);
  EXPECT_EQ(destination(9, 5), 0);
  EXPECT_EQ(boardToText(destination), kStartText);
  makeMove(destination, 4, 4, 4, 4);
  EXPECT_EQ(destination(4, 4), kEmpty);
  makeMove(destination, 1, 1, 1, 8);  // overwrites whatever stood there, no promotion
  EXPECT_EQ(destination(1, 8), -kRook);
  EXPECT_EQ(destination(1, 1), kEmpty);
}

TEST(BoardOps, FindKingsKeepsTheLastSquareWhenTheKingIsGone) {
  findKings(
      boardFromText("........ ........ ........ ........ ........ ..K..... ........ ........"));
  EXPECT_EQ(humanKingX, 3.0f);
  EXPECT_EQ(humanKingY, 3.0f);
  findKings(
      boardFromText("....k... ........ ........ ........ ........ ........ ........ ........"));
  EXPECT_EQ(humanKingX, 3.0f);
  EXPECT_EQ(humanKingY, 3.0f);
}

TEST(BoardOps, PhaseFollowsTheMoveNumberThenTheHumansPieces) {
  const Board eight =
      boardFromText("....k... ........ ........ ........ ........ ........ PPPPPPP. ....K...");
  Board nine = eight;
  nine(8, 2) = -kPawn;
  const std::pair<float, int> opening[] = {{1, 1}, {3, 2}, {5, 3}, {7, 4}};
  for (auto [move, phase] : opening) {
    moveNumber = move;
    classifyPhase(eight);
    EXPECT_EQ(gamePhase, phase);
  }
  moveNumber = 9;
  classifyPhase(eight);
  EXPECT_EQ(humanPieceCount, 8);
  EXPECT_EQ(gamePhase, 6);
  classifyPhase(nine);
  EXPECT_EQ(gamePhase, 5);
  moveNumber = 0;
}

using History = GameTest;

TEST_F(History, RecordingMovesTheScrollBarToTheNewEntry) {
  board(5, 4) = -kPawn;
  recordHistory();
  EXPECT_EQ(moveNumber, 1.0f);
  EXPECT_EQ(historia.max, 1);
  EXPECT_EQ(historia.value, 1);
  EXPECT_STREQ(lbl_jugada.caption, "1");
  EXPECT_EQ(gameHistory[1](5, 4), -kPawn);
  EXPECT_EQ(gameHistory[1](0, 0), kBorder);
}

using Painting = GameTest;

TEST_F(Painting, EachCodeSharesItsPictureAndPawnsOnTheLastRankBecomeQueens) {
  EXPECT_EQ(c[59].picture, 10);  // the human queen on a light square
  EXPECT_EQ(c[3].picture, 9);    // the computer queen on a dark square
  EXPECT_EQ(c[60].picture, 24);  // the human king on a dark square
  EXPECT_EQ(c[35].picture, kPictureDarkEmpty);
  EXPECT_EQ(c[36].picture, kPictureLightEmpty);
  for (int a = 0; a < 64; ++a) {
    EXPECT_EQ(c[a].visible, true);
    EXPECT_EQ(c[a].borderStyle, 1);
  }
  // Two pawns on their last ranks at once: the promotion step makes both queens, shown as queens.
  board = boardFromText("P......k ........ ........ ........ ........ ........ ........ ..p....K");
  promoteLastRankPawns();
  pintar_tablero();
  EXPECT_EQ(board(1, 8), -kQueen);
  EXPECT_EQ(board(3, 1), kQueen);
  EXPECT_EQ(c[0].picture, 10);  // human queen, light square
  EXPECT_EQ(c[58].picture, 9);  // computer queen, dark square
}

TEST_F(Painting, EveryCodeOnEitherColourShowsItsOwnPicture) {
  // The table itself names each of the 26 pictures once.
  int named[27] = {};
  for (const auto& row : testing_support::kPictures) {
    ++named[row.onLight];
    ++named[row.onDark];
  }
  for (int n = 1; n <= 26; ++n)
    EXPECT_EQ(named[n], 1) << "Picture" << n;

  // The squares' colours alternate from a grey a1.
  for (int a = 0; a < 64; ++a) {
    const bool light = testing_support::isLightSquare(screenFile(a), screenRank(a));
    EXPECT_EQ(squareColours[a][0], light ? 'b' : 'n') << "square " << a;
  }

  // Each code on d4 (grey) and e4 (white), everything else empty.
  for (const auto& row : testing_support::kPictures) {
    SCOPED_TRACE(row.code);
    board =
        boardFromText("........ ........ ........ ........ ........ ........ ........ ........");
    board(4, 4) = row.code;
    board(5, 4) = row.code;
    pintar_tablero();
    EXPECT_EQ(c[screenIndex(4, 4)].picture, row.onDark);
    EXPECT_EQ(c[screenIndex(5, 4)].picture, row.onLight);
    EXPECT_EQ(c[screenIndex(4, 5)].picture, 25);  // d5: an empty white square
    EXPECT_EQ(c[screenIndex(5, 5)].picture, 26);  // e5: an empty grey square
  }
}

TEST_F(Painting, RemovesTheHighlightButKeepsTheSelection) {
  c_Click(52);
  EXPECT_EQ(c[52].appearance, 1);
  pintar_tablero();
  EXPECT_EQ(c[52].appearance, 0);
  EXPECT_EQ(clickState, 1);
}

}  // namespace
}  // namespace vombel
