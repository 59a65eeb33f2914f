// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The search threads: the computer's candidates searched side by side, with the same moves and the
// same counts as one after the other.
//
// Why that holds. The root loop reads bestScore1 in one place only, the test that ends a
// candidate's reply loop (a reply scoring at or below both bestScore2 and bestScore1). A reply's
// own search depends on its position and bestScore2 alone. So a candidate searched against a
// lower bound than bestScore1 searches the same replies first and only goes on further: its counts
// and score up to the first reply at which the loop would have stopped are those of the loop. The
// search threads therefore search each candidate against the best bound known so far and keep
// what each reply found; the thread that runs the turn takes the candidates in root order and cuts
// each at its true bound (commitCandidate), adding the counts of the replies before the cut and
// never those after it.
//
// The bound a search thread reads at every reply boundary: bestScore1 as the turn's thread has
// taken it so far, raised by the final bestScore2 of every earlier candidate another thread has
// finished and that is no repetition. Such a score was reached against a bound no higher than
// the true one, so its search went at least as far, and can only be lower than the score the
// candidate will be taken with: the bound never passes bestScore1.
//
// The threads are started once and kept for the whole run; between turns they wait. Their search
// state is their own (VOMBEL_PER_THREAD); during a turn they share only what they read: the
// candidates, the level, the tables and the game's history for the repetition test.
#pragma once

#include <atomic>

#include "state/state.h"

namespace vombel {

inline constexpr int kMaxSearchThreads = 64;

// One thread per core this process may run on (its CPU affinity mask), at most kMaxSearchThreads.
int defaultSearchThreads();

// Sets how many threads search the candidates of the following turns, within 1 ..
// kMaxSearchThreads: 1 searches them one after the other in the thread that runs the turn, N > 1
// in N search threads, which are started the first time that many are asked for and then kept.
// Call it at start-up, or between turns, never during one. False when a thread could not be
// started; the threads that could are used.
bool setSearchThreads(int count);

// The count set by setSearchThreads, 1 until then.
int searchThreads();

// The search threads started so far, and the CPU time search thread i has used, in seconds
// (0 for one not started).
int startedSearchThreads();
double searchThreadCpuSeconds(int i);

// What the search of one reply found: its score (bestScore3) and the calls of plies 3 to 6.
struct ReplyResult {
  float score;
  unsigned long long calls[4];
};

// What the search of one candidate found, kept until the turn's thread takes it.
struct CandidateResult {
  std::atomic<bool> finished;     // the fields below are written
  bool repetition;                // isRepetition of the candidate
  float score;                    // its bestScore2 where its search stopped
  unsigned long long replyCalls;  // the ply-2 calls of listing its replies
  int replies;                    // the replies searched, in reply[1 .. replies]
  ReplyResult reply[kMaxListEntries + 1];
};

// Searches candidate n of rootPositions as searchRootMoves does, in the calling thread's search
// state, into result: reply by reply, each one's score and counts kept, until the bound read at a
// reply that ends the loop (bound(n), for bestScore1) or the last reply. The search threads read
// the live bound; the benchmark's model of them reads the bound they would have read.
void searchCandidate(int n, CandidateResult& result, float (*bound)(int n));

// Hands rootPositions 1 .. count to the search threads, in root order.
void startCandidates(int count);

// Waits until candidate n's search has finished, and returns what it found.
const CandidateResult& waitForCandidate(int n);

// Takes a finished candidate as the one-by-one loop would have searched it against the bound
// bestScore1: adds the calls of listing its replies and of the replies up to the one at which its
// reply loop would have stopped to plyCalls, and returns its bestScore2 there.
float commitCandidate(const CandidateResult& result, float bestScore1);

// Tells the search threads that candidates 1 .. n are taken, with bestScore1 after them.
void candidateCommitted(int n, float bestScore1);

// Ends the turn's search: the candidates not yet taken are dropped, the searches under way stop
// at their next reply, and it returns once every search thread waits again.
void stopCandidates();

}  // namespace vombel
