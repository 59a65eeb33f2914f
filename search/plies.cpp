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

// The material (materialSum as a whole number) of plyBoard2 to plyBoard5, carried down the line:
// a move changes it only by the code it captures and by a promotion, so a leaf is scored from
// its parent's material without summing 64 squares. Whole numbers convert to the same float.
std::int32_t plyMaterial2, plyMaterial3, plyMaterial4, plyMaterial5;

constexpr std::int32_t kPromotionGain = kQueen - kPawn;

// Plays a computer move from parent onto child: a pawn that reaches rank 1 becomes a queen.
// Returns the change in material: the captured code leaves, a promotion adds a queen's worth.
inline std::int32_t applyComputerMove(Board& child, const Board& parent, int toX, int toY,
                                      int fromX, int fromY) {
  copyBoard(child, parent);
  std::int32_t change = -child(toX, toY);
  makeMove(child, fromX, fromY, toX, toY);
  if (child(toX, 1) == kPawn) {
    child(toX, 1) = kQueen;
    change += kPromotionGain;
  }
  return change;
}

// Plays a human move from parent onto child: a pawn that reaches rank 8 becomes a queen.
// Returns the change in material.
inline std::int32_t applyHumanMove(Board& child, const Board& parent, int toX, int toY, int fromX,
                                   int fromY) {
  copyBoard(child, parent);
  std::int32_t change = -child(toX, toY);
  makeMove(child, fromX, fromY, toX, toY);
  if (child(toX, 8) == -kPawn) {
    child(toX, 8) = -kQueen;
    change -= kPromotionGain;
  }
  return change;
}

// The change applyHumanMove would return, without writing the child: a leaf's board is never
// read, only its material. (toX, 8) after the move holds the mover if it landed there, nothing
// if it left from there, and otherwise what it held before.
inline std::int32_t humanMoveChange(const Board& parent, int toX, int toY, int fromX, int fromY) {
  std::int32_t change = -parent(toX, toY);
  const std::int32_t lastRank =
      toY == 8 ? parent(fromX, fromY) : (fromX == toX && fromY == 8 ? kEmpty : parent(toX, 8));
  if (lastRank == -kPawn) change -= kPromotionGain;
  return change;
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
    plyMaterial2 = wholeMaterialSum(plyBoard2);
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
  plyMaterial3 = plyMaterial2 + applyComputerMove(plyBoard3, plyBoard2, toX, toY, fromX, fromY);
  bestScore4 = bestScore2;
  scanSquaresWithCutoff<Side::human, Ranks::downward, ply4Generator>(plyBoard3);
  if (bestScore4 >= bestScore3) {
    bestScore3 = bestScore4;
    if (bestScore4 >= bestScore2) cutoffFlag = kFlagSet;
  }
}

void searchPly4(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[4];
  if (difficult.value) {
    plyMaterial4 = plyMaterial3 + applyHumanMove(plyBoard4, plyBoard3, toX, toY, fromX, fromY);
    bestScore5 = bestScore3;
    scanSquaresWithCutoff<Side::computer, Ranks::downward, ply5Generator>(plyBoard4);
    if (bestScore5 <= bestScore4) {
      bestScore4 = bestScore5;
      if (bestScore5 <= bestScore3) cutoffFlag = kFlagSet;
    }
  } else {
    // Level Easy: ply 4 is the leaf; plyBoard4 is not written, only its material counts. Note
    // the strict comparison for a leaf.
    const auto s =
        static_cast<float>(plyMaterial3 + humanMoveChange(plyBoard3, toX, toY, fromX, fromY));
    if (s < bestScore4) {
      bestScore4 = s;
      if (s <= bestScore3) cutoffFlag = kFlagSet;
    }
  }
}

void searchPly5(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[5];
  plyMaterial5 = plyMaterial4 + applyComputerMove(plyBoard5, plyBoard4, toX, toY, fromX, fromY);
  bestScore6 = bestScore4;
  scanSquaresWithCutoff<Side::human, Ranks::downward, ply6Generator>(plyBoard5);
  if (bestScore6 >= bestScore5) {
    bestScore5 = bestScore6;
    if (bestScore6 >= bestScore4) cutoffFlag = kFlagSet;
  }
}

void scorePly6(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[6];
  // plyBoard6 is not written: nothing reads a leaf's board, only its material.
  const auto s =
      static_cast<float>(plyMaterial5 + humanMoveChange(plyBoard5, toX, toY, fromX, fromY));
  if (s < bestScore6) {
    bestScore6 = s;
    if (s <= bestScore5) cutoffFlag = kFlagSet;
  }
}

}  // namespace vombel
