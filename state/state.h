// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every module-level variable of the game. All of them live for the whole run, have fixed shapes
// and are filled in place: nothing is allocated while a game runs. What the search below the root
// writes (the ply boards, the reply list, the scores of plies 2 to 6 and the cut-off flag) is
// per thread (VOMBEL_PER_THREAD), so that search threads can search candidates side by side; the
// rest is the game's, one copy for all.
#pragma once

#include <cstdint>

#include "platform/hints.h"
#include "state/board.h"

namespace vombel {

inline constexpr int kMaxListEntries = 200;  // candidates and replies per search, numbered 1..200
inline constexpr int kMaxHistory = 300;      // recorded half-moves; history entries 0..300

// The search's sentinel scores, beyond every material sum (a king and 63 queens stay within
// +-21000): a maximising ply starts from the lowest, a minimising one from the highest.
inline constexpr float kLowestScore = -30000.0f;
inline constexpr float kHighestScore = 30000.0f;

inline constexpr std::int16_t kFlagSet = -1;
inline constexpr std::int16_t kFlagClear = 0;

extern Board board;       // the game position, the one the window shows
extern Board bestBoard;   // position after the best computer candidate so far this turn
extern Board trialBoard;  // scratch: the human's move is tried here; castling candidates built here
// The search's boards, one per ply; their borders are filled once per thread (initPlyBoards).
extern VOMBEL_PER_THREAD Board plyBoard1, plyBoard2, plyBoard3, plyBoard4, plyBoard5, plyBoard6;

extern Board humanAttackMap;     // 1 where a human piece can move to; border cells stay 0
extern Board computerAttackMap;  // 1 where a computer piece can move to; border cells stay 0

// Position lists. Candidate and reply entries are numbered from 1 and only their playable squares
// are ever written (their border cells stay 0); history entries start at 0 and hold all cells.
extern Board rootPositions[kMaxListEntries + 1];
extern VOMBEL_PER_THREAD Board replyPositions[kMaxListEntries + 1];
extern Board gameHistory[kMaxHistory + 1];

extern char squareColours[64][2];  // "b" (light) or "n" (dark), by screen index

extern std::int32_t rootCount;
extern VOMBEL_PER_THREAD std::int32_t replyCount;
extern float rootMaterial;
extern float bestScore1;
extern VOMBEL_PER_THREAD float bestScore2, bestScore3, bestScore4, bestScore5, bestScore6;
extern VOMBEL_PER_THREAD std::int16_t cutoffFlag;
extern float moveNumber;              // half-moves recorded; a whole number 0..300
extern std::uint32_t historyRecords;  // entries recordHistory has recorded since the start
extern std::int32_t gamePhase;
extern std::int32_t humanPieceCount;
extern float humanKingX, humanKingY;
extern std::int32_t humanCastled;
extern double computerTime;
extern double thinkStart;

// Sets the 64 playable cells of both attack maps to 0; border cells are left as they are.
void clearAttackMaps();

// The history index of the current position (moveNumber as a whole number).
inline int currentMove() {
  return static_cast<int>(moveNumber);
}

}  // namespace vombel
