// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The eight generator instances: each binds one generator (with its ray walk) to the callback of
// one ply, so every move of that ply reaches exactly that callback.
//
//   ply-1  computer  recordRootMove       candidates of the computer's turn
//   ply-2  human     recordReply          the human's replies to one candidate
//   ply-3  computer  searchPly3
//   ply-4  human     searchPly4           the leaf at level Easy
//   ply-5  computer  searchPly5           level Difficult only
//   ply-6  human     scorePly6            the leaf at level Difficult
//   ply-7  computer  fallbackMoveOrMark   fallback search
//   ply-8  human     fallbackReplyOrMark  fallback replies
//
// Which squares each ply scans, and in which order, belongs to the caller's loop. The attack maps
// have generator instances of their own (search/attack_maps.h), counted with plies 7 and 8.
#pragma once

#include "movegen/generators.h"
#include "platform/hints.h"

namespace vombel {

void recordRootMove(int toX, int toY, int fromX, int fromY);
void recordReply(int toX, int toY, int fromX, int fromY);
void searchPly3(int toX, int toY, int fromX, int fromY);
void searchPly4(int toX, int toY, int fromX, int fromY);
void searchPly5(int toX, int toY, int fromX, int fromY);
void scorePly6(int toX, int toY, int fromX, int fromY);
void fallbackMoveOrMark(int toX, int toY, int fromX, int fromY);
void fallbackReplyOrMark(int toX, int toY, int fromX, int fromY);

inline void ply1Generator(const Board& b, int x, int y) {
  generateComputerMoves<recordRootMove>(b, x, y);
}
inline void ply2Generator(const Board& b, int x, int y) {
  generateHumanMoves<recordReply>(b, x, y);
}
inline void ply3Generator(const Board& b, int x, int y) {
  generateComputerMoves<searchPly3>(b, x, y);
}
inline void ply4Generator(const Board& b, int x, int y) {
  generateHumanMoves<searchPly4>(b, x, y);
}
inline void ply5Generator(const Board& b, int x, int y) {
  generateComputerMoves<searchPly5>(b, x, y);
}
inline void ply6Generator(const Board& b, int x, int y) {
  generateHumanMoves<scorePly6>(b, x, y);
}
inline void ply7Generator(const Board& b, int x, int y) {
  generateComputerMoves<fallbackMoveOrMark>(b, x, y);
}
inline void ply8Generator(const Board& b, int x, int y) {
  generateHumanMoves<fallbackReplyOrMark>(b, x, y);
}

// How many times each ply's callback has run since the counts were last cleared (index 1..8); the
// moves marked in the attack maps count with plies 7 and 8. Each thread counts its own calls; a
// turn's counts are those of the thread that ran computerMove, to which the search threads' counts
// are added as their candidates are taken.
// The driver and the benchmark read them; they cost one increment per callback.
extern VOMBEL_PER_THREAD unsigned long long plyCalls[9];

}  // namespace vombel
