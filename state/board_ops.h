// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Small operations on boards shared by the computer's turn, the fallback search and the turn cycle.
#pragma once

#include <cstring>

#include "platform/hints.h"
#include "state/board.h"

namespace vombel {

// Copies the 64 playable squares of source into destination; destination's border is kept.
// Inline: every search node makes one copy.
inline void copyBoard(Board& destination, const Board& source) {
  // Cells are stored file by file, so each file's eight playable cells are one contiguous run;
  // the eight runs are unrolled into straight copies.
  VOMBEL_UNROLL(8)
  for (int x = 1; x <= 8; ++x) {
    std::memcpy(&destination(x, 1), &source(x, 1), 8 * sizeof(std::int32_t));
  }
}

// Copies all 144 cells, border included (history entries and the board they restore).
void copyWholeBoard(Board& destination, const Board& source);

// Moves the code on (fromX, fromY) onto (toX, toY) and empties the origin. No promotion.
inline void makeMove(Board& b, int fromX, int fromY, int toX, int toY) {
  b(toX, toY) = b(fromX, fromY);
  b(fromX, fromY) = kEmpty;
}

// Sets humanKingX/Y to the human king's square (the last one found, rank by rank); keeps them
// when there is none.
void findKings(const Board& b);

// The phases of the game, in gamePhase. The computer's first four moves in a game the human
// opened have phases 1..4, one each: they come at moveNumber 1, 3, 5 and 7.
inline constexpr int kOpeningMoves[4] = {1, 3, 5, 7};
inline constexpr int kMiddlegame = 5;        // otherwise, while the human has more than ...
inline constexpr int kMiddlegamePieces = 8;  // ... this many pieces, the king included
inline constexpr int kEndgame = 6;           // and after that

// Counts the human's pieces into humanPieceCount and sets gamePhase from it and moveNumber.
void classifyPhase(const Board& b);

// Appends board to the game history as entry moveNumber + 1 and moves historia to it.
// Does nothing once the history is full (entry 300 recorded).
void recordHistory();

// True when the history has no room for another half-move.
bool historyFull();

}  // namespace vombel
