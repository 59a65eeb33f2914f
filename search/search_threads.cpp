// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/search_threads.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <system_error>
#include <thread>

#include "eval/ordering.h"
#include "search/instances.h"
#include "search/scan.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/new_game.h"

namespace vombel {

namespace {

std::mutex mutex;
std::condition_variable workGiven;  // a turn's candidates are there, or the run ends
std::condition_variable workDone;   // a candidate is finished, or a thread waits again

// Guarded by mutex.
std::thread threads[kMaxSearchThreads];
int started = 0;      // threads[0 .. started - 1] run
int active = 1;       // the count set by setSearchThreads
int turnNumber = 0;   // raised at every turn's start
int turnThreads = 0;  // threads[0 .. turnThreads - 1] take part in the turn
int busy = 0;         // those still at it
bool ending = false;

// The turn: written before its start under mutex, read by the search threads.
int candidateCount = 0;
std::atomic<int> nextCandidate{1};  // the next candidate to hand out
std::atomic<bool> dropped{false};   // while a turn's search ends: the candidates left are dropped
// The candidates taken so far by the turn's thread, and bestScore1 after them.
std::atomic<int> committedCount{0};
std::atomic<float> committedBound{kLowestScore};

CandidateResult results[kMaxListEntries + 1];

// The bound for candidate n: see the header.
float liveBound(int n) {
  float bound = committedBound.load(std::memory_order_acquire);
  for (int j = committedCount.load(std::memory_order_acquire) + 1; j < n; ++j) {
    const CandidateResult& earlier = results[j];
    if (earlier.finished.load(std::memory_order_acquire) && !earlier.repetition)
      bound = std::max(bound, earlier.score);
  }
  return bound;
}

}  // namespace

void searchCandidate(int n, CandidateResult& result, float (*bound)(int n)) {
  copyBoard(plyBoard1, rootPositions[n]);
  bestScore2 = kHighestScore;
  replyCount = 0;
  const unsigned long long listed = plyCalls[2];
  scanSquares<Side::human, Ranks::upward, ply2Generator>(plyBoard1);
  // cppcheck-suppress duplicateExpression ; the scan's callbacks raise plyCalls[2]
  result.replyCalls = plyCalls[2] - listed;
  orderReplies();
  int searched = 0;
  while (searched < replyCount && !dropped.load(std::memory_order_relaxed) &&
         !stopSearch.load(std::memory_order_relaxed)) {
    const int m = ++searched;
    ReplyResult& reply = result.reply[m];
    for (int k = 0; k < 4; ++k)
      reply.calls[k] = plyCalls[3 + k];
    searchReply(m);
    for (int k = 0; k < 4; ++k)
      reply.calls[k] = plyCalls[3 + k] - reply.calls[k];
    reply.score = bestScore3;
    if (bestScore3 <= bestScore2) {
      bestScore2 = bestScore3;
      if (bestScore3 <= bound(n)) break;
    }
  }
  result.replies = searched;
  result.score = bestScore2;
  result.repetition = isRepetition(plyBoard1);
  result.finished.store(true, std::memory_order_release);
}

namespace {

// Search thread `index`, started when turnNumber was turnsSeen.
void searchThreadMain(int index, int turnsSeen) {
  initPlyBoards();
  std::unique_lock lock(mutex);
  for (;;) {
    workGiven.wait(lock, [&] { return ending || turnNumber != turnsSeen; });
    if (ending) return;
    turnsSeen = turnNumber;
    if (index >= turnThreads) continue;
    lock.unlock();
    for (;;) {
      const int n = nextCandidate.fetch_add(1, std::memory_order_relaxed);
      if (n > candidateCount || dropped.load(std::memory_order_relaxed)) break;
      searchCandidate(n, results[n], liveBound);
      // Taking the mutex orders the notification after a waiter's test of the flag.
      { const std::lock_guard guard(mutex); }
      workDone.notify_all();
    }
    lock.lock();
    --busy;
    workDone.notify_all();
  }
}

// At exit: the search threads leave their loop and are joined.
void endSearchThreads() {
  {
    const std::lock_guard guard(mutex);
    ending = true;
    dropped = true;
  }
  workGiven.notify_all();
  for (int i = 0; i < started; ++i)
    threads[i].join();
  started = 0;
}

}  // namespace

int defaultSearchThreads() {
  cpu_set_t cpus;
  CPU_ZERO(&cpus);
  if (sched_getaffinity(0, sizeof cpus, &cpus) != 0) return 1;
  return std::clamp(CPU_COUNT(&cpus), 1, kMaxSearchThreads);
}

bool setSearchThreads(int count) {
  count = std::clamp(count, 1, kMaxSearchThreads);
  const std::lock_guard guard(mutex);
  bool all = true;
  if (count > 1) {
    if (started == 0) std::atexit(endSearchThreads);
    for (; started < count; ++started) {
      try {
        threads[started] = std::thread(searchThreadMain, started, turnNumber);
      } catch (const std::system_error&) {
        all = false;
        break;
      }
      pthread_setname_np(threads[started].native_handle(), "vombel-search");
    }
    count = std::max(1, std::min(count, started));
  }
  active = count;
  return all;
}

int searchThreads() {
  const std::lock_guard guard(mutex);
  return active;
}

int startedSearchThreads() {
  const std::lock_guard guard(mutex);
  return started;
}

double searchThreadCpuSeconds(int i) {
  const std::lock_guard guard(mutex);
  clockid_t clock;
  timespec t{};
  if (i < 0 || i >= started || pthread_getcpuclockid(threads[i].native_handle(), &clock) != 0 ||
      clock_gettime(clock, &t) != 0) {
    return 0;
  }
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void startCandidates(int count) {
  {
    const std::lock_guard guard(mutex);
    candidateCount = count;
    for (int n = 1; n <= count; ++n)
      results[n].finished.store(false, std::memory_order_relaxed);
    nextCandidate = 1;
    committedCount = 0;
    committedBound = kLowestScore;
    turnThreads = active;
    busy = active;
    ++turnNumber;
  }
  workGiven.notify_all();
}

const CandidateResult& waitForCandidate(int n) {
  std::unique_lock lock(mutex);
  workDone.wait(lock, [n] { return results[n].finished.load(std::memory_order_acquire); });
  return results[n];
}

float commitCandidate(const CandidateResult& result, float bestScore1) {
  plyCalls[2] += result.replyCalls;
  float score = kHighestScore;
  for (int m = 1; m <= result.replies; ++m) {
    const ReplyResult& reply = result.reply[m];
    for (int k = 0; k < 4; ++k)
      plyCalls[3 + k] += reply.calls[k];
    if (reply.score <= score) {
      score = reply.score;
      if (score <= bestScore1) break;
    }
  }
  return score;
}

void candidateCommitted(int n, float bestScore1) {
  committedBound.store(bestScore1, std::memory_order_release);
  committedCount.store(n, std::memory_order_release);
}

void stopCandidates() {
  dropped = true;
  std::unique_lock lock(mutex);
  workDone.wait(lock, [] { return busy == 0; });
  dropped = false;
}

}  // namespace vombel
