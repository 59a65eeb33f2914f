// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Checks shared by the unit tests, the fuzz targets and the soak: a copy of every piece of game
// state that can be compared and put back, the invariants the game must keep after every event,
// and the human's legal click pairs in the current position.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "search/search.h"
#include "state/state.h"

namespace vombel::checks {

// Every module-level variable of the game, the window controls and the turn cycle's selection.
struct GameSnapshot {
  Board board, bestBoard, trialBoard;
  Board plyBoard1, plyBoard2, plyBoard3, plyBoard4, plyBoard5, plyBoard6;
  Board humanAttackMap, computerAttackMap;
  Board rootPositions[kMaxListEntries + 1];
  Board replyPositions[kMaxListEntries + 1];
  Board gameHistory[kMaxHistory + 1];
  char squareColours[64][2];
  std::int32_t rootCount, replyCount;
  float rootMaterial;
  float bestScore1, bestScore2, bestScore3, bestScore4, bestScore5, bestScore6;
  std::int16_t cutoffFlag;
  float moveNumber;
  std::int32_t gamePhase, humanPieceCount;
  float humanKingX, humanKingY;
  std::int32_t humanCastled;
  double computerTime, thinkStart;

  PictureBox c[64];
  ScrollBar historia;
  Label lbl_jugada, tiempoco, tiempous;
  CheckBox boardsu;
  ProgressBar Progreso;
  OptionButton easy, difficult;
  CommandButton info;
  int windowHeight;

  std::int32_t clickState, fromSquare, toSquare;
  unsigned long long plyCalls[9];
  TurnReport turnReport;
};

// The snapshot is large (about 400 KB), so it lives on the heap, or is taken into one the caller
// keeps.
std::unique_ptr<GameSnapshot> takeSnapshot();
void takeSnapshot(GameSnapshot& snapshot);
void restoreSnapshot(const GameSnapshot& snapshot);

// Names the first part of the state in which a and b differ; empty when they are the same.
// Floating-point values are compared bit for bit.
std::string firstDifference(const GameSnapshot& a, const GameSnapshot& b);

// Describes the first invariant the current state breaks; empty when all hold:
//  - every border cell of board and of the eight working boards holds 2;
//  - every playable cell of board and of history entries 0..historia.max holds a piece code, and
//    their border cells hold 2;
//  - the 64 squares show board (right picture, nothing but the selection highlighted);
//  - moveNumber is a whole number 0..300 equal to historia's value, and value <= max <= 300;
//  - rootCount and replyCount lie in 0..200; the selection is 0 or 1 with its square 0..63.
std::string brokenInvariant();

// A first and a second click that the turn cycle must accept as the human's move in the current
// position (free placement off): every move of a human piece that leaves the human's king
// unattacked and does not take the computer's king, and castling where king, rook and attack
// maps allow it. Worked out on copies; no game state is touched. materialGain is what the move
// takes (a promotion counting as its gain), less the moving piece when a computer piece can take
// it at once: a rough guide for a player who likes to win material and not give it away.
struct ClickPair {
  int from;
  int to;
  bool castling;
  int materialGain;
};
std::vector<ClickPair> legalClickPairs();

}  // namespace vombel::checks
