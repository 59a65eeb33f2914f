// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/turn_cycle.h"

#include "eval/evaluation.h"
#include "platform/controls.h"
#include "platform/game_view.h"
#include "search/attack_maps.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/castling.h"
#include "state/painting.h"
#include "state/state.h"

namespace vombel {

std::int32_t clickState;
std::int32_t fromSquare;
std::int32_t toSquare;

namespace {

constexpr int kKingHome = screenIndex(kHumanKingSide.kingFrom, kHumanKingSide.rank);         // e1
constexpr int kKingSideTarget = screenIndex(kHumanKingSide.kingTo, kHumanKingSide.rank);     // g1
constexpr int kQueenSideTarget = screenIndex(kHumanQueenSide.kingTo, kHumanQueenSide.rank);  // c1

}  // namespace

void c_Click(int a) {
  if (clickState == 0) {
    if (c[a].picture == kPictureLightEmpty || c[a].picture == kPictureDarkEmpty) return;
    fromSquare = a;
    clickState = 1;
    c[a].appearance = 1;
  } else if (a == fromSquare) {
    clearSelection();
  } else {
    toSquare = a;
    clickState = 0;
    humanMove(fromSquare, a);
    promoteLastRankPawns();
    pintar_tablero();
  }
}

void clearSelection() {
  if (clickState == 1) c[fromSquare].appearance = 0;
  clickState = 0;
}

void requestComputerMove() {
  if (gameView().deferComputerMove()) return;
  gameView().boardChanged();  // the position the computer answers shows while it thinks
  computerMove();
}

void tryHumanCastling(int from, int to) {
  humanCastled = 0;
  clearAttackMaps();
  markAttackedSquares<Side::computer>(board);
  if (from != kKingHome || historyFull()) return;
  const Castling* wing = to == kKingSideTarget    ? &kHumanKingSide
                         : to == kQueenSideTarget ? &kHumanQueenSide
                                                  : nullptr;
  if (wing == nullptr || castlingAttacked(computerAttackMap, *wing) ||
      !castlingReady(board, *wing)) {
    return;
  }
  castle(board, *wing);
  promoteLastRankPawns();
  pintar_tablero();
  recordHistory();
  humanCastled = 1;
}

void humanMove(int from, int to) {
  tryHumanCastling(from, to);
  if (humanCastled == 1) {
    requestComputerMove();
    return;
  }
  const int fx = screenFile(from);
  const int fy = screenRank(from);
  const int tx = screenFile(to);
  const int ty = screenRank(to);

  // The selected piece's own moves, then every computer move after it has been tried.
  clearAttackMaps();
  markPieceAttacks<Side::human>(board, fx, fy);
  copyBoard(trialBoard, board);
  makeMove(trialBoard, fx, fy, tx, ty);
  findKings(trialBoard);
  markAttackedSquares<Side::computer>(trialBoard);

  const bool kingSafe =
      computerAttackMap(static_cast<int>(humanKingX), static_cast<int>(humanKingY)) == 0;
  const bool legal = kingSafe && humanAttackMap(tx, ty) == 1 && boardsu.value == 0;
  if (legal) {
    // Taking the computer's king drives the material below 0: such a move is refused. A full
    // history takes no further half-move.
    if (materialSum(trialBoard) >= 0 && !historyFull()) {
      makeMove(board, fx, fy, tx, ty);
      promoteLastRankPawns();
      pintar_tablero();
      recordHistory();
      requestComputerMove();
    }
  } else if (boardsu.value == 1) {
    makeMove(board, fx, fy, tx, ty);
    promoteLastRankPawns();
    pintar_tablero();
  }
}

}  // namespace vombel
