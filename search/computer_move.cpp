// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <atomic>
#include <chrono>
#include <cmath>
#include <initializer_list>

#include "eval/evaluation.h"
#include "eval/ordering.h"
#include "platform/controls.h"
#include "platform/game_view.h"
#include "search/attack_maps.h"
#include "search/instances.h"
#include "search/scan.h"
#include "search/search.h"
#include "search/search_threads.h"
#include "state/board_ops.h"
#include "state/castling.h"
#include "state/painting.h"
#include "state/state.h"

namespace vombel {

namespace {
// When the turn under way began, for its duration in turnReport.
std::chrono::steady_clock::time_point turnStarted;
}  // namespace

VOMBEL_PER_THREAD unsigned long long plyCalls[9]{};
TurnReport turnReport;
bool searchDifficult = true;
std::atomic<bool> stopSearch{false};

void recordRootMove(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[1];
  if (rootCount >= kMaxListEntries) return;  // the list is full: further candidates are dropped
  ++rootCount;
  copyBoard(plyBoard1, board);
  makeMove(plyBoard1, fromX, fromY, toX, toY);
  if (plyBoard1(toX, 1) == kPawn) plyBoard1(toX, 1) = kQueen;
  copyBoard(rootPositions[rootCount], plyBoard1);
}

namespace {

void appendCandidate(const Board& position) {
  if (rootCount >= kMaxListEntries) return;
  ++rootCount;
  copyBoard(rootPositions[rootCount], position);
}

}  // namespace

void addComputerCastling() {
  clearAttackMaps();
  markAttackedSquares<Side::human>(board);

  copyBoard(trialBoard, board);
  // The king side first. After its candidate the king has left e8 of trialBoard, so the queen
  // side is no longer ready. A ready wing with an attacked square stops all castling this turn.
  for (const Castling* wing : {&kComputerKingSide, &kComputerQueenSide}) {
    if (!castlingReady(trialBoard, *wing)) continue;
    if (castlingAttacked(humanAttackMap, *wing)) return;
    castle(trialBoard, *wing);
    appendCandidate(trialBoard);
  }
}

namespace {

// searchRootMoves with the candidates searched by the search threads and taken here in root order,
// each cut where the loop below would have stopped its replies (search/search_threads.h).
void searchRootMovesInThreads(int count) {
  startCandidates(count);
  for (int n = 1; n <= count; ++n) {
    if (stopSearch.load(std::memory_order_relaxed)) break;
    const CandidateResult& result = waitForCandidate(n);
    setProgressValue(n);
    gameView().progress(n, Progreso.max);
    bestScore2 = commitCandidate(result, bestScore1);
    if (bestScore2 > bestScore1 && !result.repetition) {
      bestScore1 = bestScore2;
      copyBoard(bestBoard, rootPositions[n]);
      if (bestScore1 > rootMaterial + kEnoughGain) break;
    }
    candidateCommitted(n, bestScore1);
  }
  stopCandidates();
}

}  // namespace

void searchRootMoves() {
  const int count = rootCount;
  if (count > 1 && searchThreads() > 1) {
    searchRootMovesInThreads(count);
    return;
  }
  for (int n = 1; n <= count; ++n) {
    if (stopSearch.load(std::memory_order_relaxed)) return;
    copyBoard(plyBoard1, rootPositions[n]);
    bestScore2 = kHighestScore;
    replyCount = 0;
    scanSquares<Side::human, Ranks::upward, ply2Generator>(plyBoard1);
    setProgressValue(n);
    gameView().progress(n, Progreso.max);
    orderReplies();
    searchReplies();
    if (bestScore2 > bestScore1 && !isRepetition(plyBoard1)) {
      bestScore1 = bestScore2;
      copyBoard(bestBoard, plyBoard1);
      // Enough material won: play this candidate without searching the rest.
      if (bestScore1 > rootMaterial + kEnoughGain) break;
    }
  }
}

bool thinkComputerMove() {
  if (historyFull()) return false;
  turnStarted = std::chrono::steady_clock::now();
  for (auto& calls : plyCalls)
    calls = 0;
  turnReport.resigned = false;
  searchDifficult = difficult.value;

  rootMaterial = 0;
  setProgressValue(0);
  findKings(board);
  classifyPhase(board);
  thinkStart = timeOfDay();
  rootMaterial = materialSum(board);
  cutoffFlag = kFlagClear;
  rootCount = 0;
  bestScore1 = kLowestScore;
  scanSquares<Side::computer, Ranks::downward, ply1Generator>(board);
  addComputerCastling();
  setProgressMax(rootCount);
  orderRootMoves();
  searchRootMoves();
  if (stopSearch.load(std::memory_order_relaxed)) return false;
  if (bestScore1 < 0) fallbackSearch();
  return true;
}

void finishComputerMove() {
  // The box comes before the move is shown, and its time counts on the computer's clock.
  if (turnReport.resigned) gameView().tell("Computer resignes");
  copyBoard(board, bestBoard);
  setProgressValue(0);
  promoteLastRankPawns();
  pintar_tablero();
  recordHistory();
  computerTime = std::floor(timeOfDay() - thinkStart + computerTime);
  setCaption(tiempoco, static_cast<long long>(computerTime));

  turnReport.milliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - turnStarted)
          .count();
  ++turnReport.turns;
  gameView().beep();
}

void computerMove() {
  stopSearch.store(false, std::memory_order_relaxed);
  if (thinkComputerMove()) finishComputerMove();
}

}  // namespace vombel
