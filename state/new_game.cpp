// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "state/new_game.h"

#include <initializer_list>

#include "platform/controls.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/painting.h"
#include "state/state.h"

namespace vombel {

namespace {

void fill(Board& b, std::int32_t value) {
  for (int x = kLow; x <= kHigh; ++x) {
    for (int y = kLow; y <= kHigh; ++y)
      b(x, y) = value;
  }
}

constexpr std::int32_t kBackRank[8] = {kRook,         kKnight, kBishop, kQueen,
                                       kComputerKing, kBishop, kKnight, kRook};

}  // namespace

void setStartPosition(Board& b) {
  fill(b, kBorder);
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y)
      b(x, y) = kEmpty;
  }
  for (int x = 1; x <= 8; ++x) {
    b(x, 2) = -kPawn;
    b(x, 7) = kPawn;
    // The human's king is not the mirror of the computer's: -10000 against 15000.
    b(x, 1) = kBackRank[x - 1] == kComputerKing ? kHumanKing : -kBackRank[x - 1];
    b(x, 8) = kBackRank[x - 1];
  }
}

void initPlyBoards() {
  for (Board* b : {&plyBoard1, &plyBoard2, &plyBoard3, &plyBoard4, &plyBoard5, &plyBoard6})
    fill(*b, kBorder);
}

void initBoards() {
  fill(bestBoard, kBorder);
  initPlyBoards();
  fill(trialBoard, kBorder);
  setStartPosition(board);
}

void initSquares() {
  for (int a = 0; a < 64; ++a) {
    squareColours[a][0] = (a / 8 + a % 8) % 2 == 0 ? 'b' : 'n';
    squareColours[a][1] = '\0';
    c[a].visible = true;
    c[a].borderStyle = 1;
  }
}

void resetGameControls() {
  // Moving historia back to 0 reloads entry 0 of the game being left. Make that entry the start
  // position first, so a new game starts from it even after an edited file was loaded.
  copyWholeBoard(gameHistory[0], board);
  setHistoriaValue(0);
  setHistoriaMax(0);
  setCaption(lbl_jugada, "0");
  boardsu.value = 0;
  setProgressValue(0);
}

void resetGameRecord() {
  moveNumber = 0;
  copyWholeBoard(gameHistory[0], board);
  computerTime = 0;
  humanCastled = 0;
  selectLevel(true);
  setCaption(tiempoco, "0");
  setCaption(tiempous, "0");
}

void newGame() {
  initBoards();
  initSquares();
  resetGameControls();
  resetGameRecord();
  promoteLastRankPawns();
  pintar_tablero();
}

}  // namespace vombel
