// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The computer's turn: candidates, ordering, the alpha-beta search below them, the fallback
// search and resignation.
#pragma once

#include <atomic>

namespace vombel {

// The level of the turn under way: true for six plies (Difficult), false for four (Easy). The
// turn reads it from the level buttons once, when it starts.
extern bool searchDifficult;

// True (the default): the last ply is counted in bulk, piece by piece. False: every leaf runs its
// callback. Both give the same counts, scores and moves; the tests compare them.
extern bool bulkLeaves;

// True (the default on a CPU with a bit-count instruction): the bulk count runs its copy compiled
// for that instruction. False: the copy for any CPU. Both give the same counts; never set it true
// on a CPU without the instruction.
extern bool bitCountCopy;

// The copy of the bulk count that ran last, in any thread: each copy records itself as it starts,
// one store per ply-4 move at level Difficult (atomic, so that search threads may store at once;
// relaxed, an ordinary store). The tests read it to see which copy the dispatch runs.
enum class BulkCopy : unsigned char { none, anyCpu, bitCount };
extern std::atomic<BulkCopy> bulkCopyRan;

// The root loop stops at the first candidate whose score beats the material at the start of the
// turn (rootMaterial) by more than this margin, the 2 by which a bishop outweighs a knight:
// material really won.
inline constexpr float kEnoughGain = 2;

// Set from another thread to end the turn under way early: the search, in the search threads
// too, looks at it once per ply-2 reply and between candidates, and thinkComputerMove then
// returns false, the game left as it was before the turn. Whoever starts a turn clears it first.
extern std::atomic<bool> stopSearch;

// The computer's whole turn at once: thinkComputerMove, then finishComputerMove. Does nothing
// when the history is full.
void computerMove();

// The part of the turn that thinks, up to the fallback search: chooses the position to play
// into bestBoard and reports the search's progress to the view. It writes only the search's own
// state (candidates, scores, counts, the progress bar's value) and shows nothing: board, the
// history, moveNumber, historia and the clocks are left alone. False when nothing is to be
// played: the history is full, or stopSearch ended the search.
bool thinkComputerMove();

// The part that finishes the turn thinkComputerMove chose: "Computer resignes" when the fallback
// resigned, then bestBoard played on board, promoted, painted and recorded, the computer's clock
// updated, and the beep.
void finishComputerMove();

// The ply-1 loop over the ordered candidates; leaves the best in bestScore1 and bestBoard.
void searchRootMoves();

// Appends the computer's castling candidate, if king and rook stand ready and the human attacks
// none of the squares concerned.
void addComputerCastling();

// Searches the ordered replies to the candidate in plyBoard1; leaves its score in bestScore2.
void searchReplies();

// Searches reply m of replyPositions below the bound bestScore2; leaves its score in bestScore3.
void searchReply(int m);

// Two-ply material search over every computer move when the main search loses the king; resigns
// (turnReport.resigned) when every move loses it at once. Leaves the move in bestBoard.
void fallbackSearch();

// What the last computer turn did, for the driver and the benchmark.
struct TurnReport {
  unsigned long long turns;  // computer turns played since start-up
  bool resigned;             // the last turn resigned
  double milliseconds;       // the last turn's duration
};
extern TurnReport turnReport;

}  // namespace vombel
