// The search below the root: the human's replies (ply 2) and plies 3 to 6, unrolled. Each ply has
// its own board and callback; a callback copies the board above, plays its move and either runs
// the next ply's generator over its board or scores it. Scores flow up through bestScore2..6 and
// the shared cutoffFlag. Odd plies maximise for the computer, even plies minimise for the human.
#include "eval/evaluation.h"
#include "movegen/instances.h"
#include "search/board_ops.h"
#include "search/scan.h"
#include "search/search.h"
#include "state/state.h"
#include "ui/controls.h"

namespace vombel {

namespace {

// Plays a computer move from parent onto child: a pawn that reaches rank 1 becomes a queen.
inline void applyComputerMove(Board& child, const Board& parent, int toX, int toY, int fromX,
                              int fromY) {
  copyBoard(child, parent);
  makeMove(child, fromX, fromY, toX, toY);
  if (child(toX, 1) == kPawn) child(toX, 1) = kQueen;
}

// Plays a human move from parent onto child: a pawn that reaches rank 8 becomes a queen.
inline void applyHumanMove(Board& child, const Board& parent, int toX, int toY, int fromX,
                           int fromY) {
  copyBoard(child, parent);
  makeMove(child, fromX, fromY, toX, toY);
  if (child(toX, 8) == -kPawn) child(toX, 8) = -kQueen;
}

}  // namespace

void recordReply(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[2];
  if (replyCount >= kMaxListEntries) return;  // the list is full: further replies are dropped
  ++replyCount;
  applyHumanMove(plyBoard2, plyBoard1, toX, toY, fromX, fromY);
  copyBoard(replyPositions[replyCount], plyBoard2);
}

void searchReplies() {
  const int count = replyCount;
  for (int m = 1; m <= count; ++m) {
    copyBoard(plyBoard2, replyPositions[m]);
    bestScore3 = -30000.0f;
    scanSquaresWithCutoff<Side::computer, Ranks::upward, ply3Generator>(plyBoard2);
    if (bestScore3 <= bestScore2) {
      bestScore2 = bestScore3;
      // The candidate can no longer beat the best one: its other replies are not searched.
      if (bestScore3 <= bestScore1) return;
    }
  }
}

void searchPly3(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[3];
  applyComputerMove(plyBoard3, plyBoard2, toX, toY, fromX, fromY);
  bestScore4 = bestScore2;
  scanSquaresWithCutoff<Side::human, Ranks::downward, ply4Generator>(plyBoard3);
  if (bestScore4 >= bestScore3) {
    bestScore3 = bestScore4;
    if (bestScore4 >= bestScore2) cutoffFlag = kFlagSet;
  }
}

void searchPly4(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[4];
  applyHumanMove(plyBoard4, plyBoard3, toX, toY, fromX, fromY);
  if (difficult.value) {
    bestScore5 = bestScore3;
    scanSquaresWithCutoff<Side::computer, Ranks::downward, ply5Generator>(plyBoard4);
    if (bestScore5 <= bestScore4) {
      bestScore4 = bestScore5;
      if (bestScore5 <= bestScore3) cutoffFlag = kFlagSet;
    }
  } else {
    // Level Easy: ply 4 is the leaf. Note the strict comparison for a leaf.
    const float s = materialSum(plyBoard4);
    if (s < bestScore4) {
      bestScore4 = s;
      if (s <= bestScore3) cutoffFlag = kFlagSet;
    }
  }
}

void searchPly5(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[5];
  applyComputerMove(plyBoard5, plyBoard4, toX, toY, fromX, fromY);
  bestScore6 = bestScore4;
  scanSquaresWithCutoff<Side::human, Ranks::downward, ply6Generator>(plyBoard5);
  if (bestScore6 >= bestScore5) {
    bestScore5 = bestScore6;
    if (bestScore6 >= bestScore4) cutoffFlag = kFlagSet;
  }
}

void scorePly6(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[6];
  applyHumanMove(plyBoard6, plyBoard5, toX, toY, fromX, fromY);
  const float s = materialSum(plyBoard6);
  if (s < bestScore6) {
    bestScore6 = s;
    if (s <= bestScore5) cutoffFlag = kFlagSet;
  }
}

}  // namespace vombel
