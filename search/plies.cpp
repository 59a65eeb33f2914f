// The search below the root: the human's replies (ply 2) and plies 3 to 6, unrolled. Each ply has
// its own board and callback; a callback copies the board above, plays its move and runs the next
// ply's generator over its board, or, at a leaf, scores the move from the material of the board
// above. Scores flow up through bestScore2..6 and the shared cutoffFlag. Odd plies maximise for
// the computer, even plies minimise for the human.
#include "eval/evaluation.h"
#include "movegen/instances.h"
#include "platform/hints.h"
#include "search/scan.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/state.h"

namespace vombel {

namespace {

// What the search carries down the line for each of plyBoard2 to plyBoard5, kept up to date move
// by move. A move changes the material (materialSum as a whole number) only by the code it
// captures and by a promotion, so a leaf is scored from its parent's material without summing 64
// squares; whole numbers convert to the same float. The piece squares let a ply's loop go
// straight from one piece of the side to move to the next.
struct Summary {
  std::int32_t material;
  std::uint64_t computerPieces;  // squareBit bits
  std::uint64_t humanPieces;
};
Summary summary2, summary3, summary4, summary5;

constexpr std::int32_t kPromotionGain = kQueen - kPawn;

// Plays a computer move from parent onto child: a pawn that reaches rank 1 becomes a queen.
// The child's summary follows: the captured code leaves, a promotion adds a queen's worth.
inline void applyComputerMove(Board& child, Summary& childSummary, const Board& parent,
                              const Summary& parentSummary, int toX, int toY, int fromX,
                              int fromY) {
  copyBoard(child, parent);
  childSummary.material = parentSummary.material - child(toX, toY);
  makeMove(child, fromX, fromY, toX, toY);
  if (child(toX, 1) == kPawn) {
    child(toX, 1) = kQueen;
    childSummary.material += kPromotionGain;
  }
  const std::uint64_t to = squareBit(toX, toY);
  childSummary.computerPieces = (parentSummary.computerPieces & ~squareBit(fromX, fromY)) | to;
  childSummary.humanPieces = parentSummary.humanPieces & ~to;
}

// Plays a human move from parent onto child: a pawn that reaches rank 8 becomes a queen.
inline void applyHumanMove(Board& child, const Board& parent, int toX, int toY, int fromX,
                           int fromY) {
  copyBoard(child, parent);
  makeMove(child, fromX, fromY, toX, toY);
  if (child(toX, 8) == -kPawn) child(toX, 8) = -kQueen;
}

// The change a human move makes to the material of parent: the captured code leaves, and a
// human pawn on (toX, 8) afterwards becomes a queen. That square then holds the mover if it
// landed there, else what it held before: a piece leaving it is never a pawn, as a pawn on
// rank 8 has no move.
inline std::int32_t humanMoveChange(const Board& parent, int toX, int toY, int fromX, int fromY) {
  const std::int32_t lastRank = toY == 8 ? parent(fromX, fromY) : parent(toX, 8);
  return -parent(toX, toY) - (lastRank == -kPawn ? kPromotionGain : 0);
}

// applyHumanMove with the child's summary.
inline void applyHumanMove(Board& child, Summary& childSummary, const Board& parent,
                           const Summary& parentSummary, int toX, int toY, int fromX, int fromY) {
  childSummary.material = parentSummary.material + humanMoveChange(parent, toX, toY, fromX, fromY);
  applyHumanMove(child, parent, toX, toY, fromX, fromY);
  const std::uint64_t to = squareBit(toX, toY);
  childSummary.humanPieces = (parentSummary.humanPieces & ~squareBit(fromX, fromY)) | to;
  childSummary.computerPieces = parentSummary.computerPieces & ~to;
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
    summary2 = {wholeMaterialSum(plyBoard2), pieceSquares<Side::computer>(plyBoard2),
                pieceSquares<Side::human>(plyBoard2)};
    bestScore3 = -30000.0f;
    scanPiecesWithCutoff<Ranks::upward, ply3Generator>(plyBoard2, summary2.computerPieces);
    if (bestScore3 <= bestScore2) {
      bestScore2 = bestScore3;
      // The candidate can no longer beat the best one: its other replies are not searched.
      if (bestScore3 <= bestScore1) return;
    }
  }
}

void searchPly3(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[3];
  applyComputerMove(plyBoard3, summary3, plyBoard2, summary2, toX, toY, fromX, fromY);
  bestScore4 = bestScore2;
  scanPiecesWithCutoff<Ranks::downward, ply4Generator>(plyBoard3, summary3.humanPieces);
  if (bestScore4 >= bestScore3) {
    bestScore3 = bestScore4;
    if (bestScore4 >= bestScore2) cutoffFlag = kFlagSet;
  }
}

void searchPly4(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[4];
  if (searchDifficult) {
    applyHumanMove(plyBoard4, summary4, plyBoard3, summary3, toX, toY, fromX, fromY);
    bestScore5 = bestScore3;
    scanPiecesWithCutoff<Ranks::downward, ply5Generator>(plyBoard4, summary4.computerPieces);
    if (bestScore5 <= bestScore4) {
      bestScore4 = bestScore5;
      if (bestScore5 <= bestScore3) cutoffFlag = kFlagSet;
    }
  } else {
    // Level Easy: ply 4 is the leaf; plyBoard4 is not written, only its material counts. Note
    // the strict comparison for a leaf.
    const auto s =
        static_cast<float>(summary3.material + humanMoveChange(plyBoard3, toX, toY, fromX, fromY));
    if (s < bestScore4) {
      bestScore4 = s;
      if (s <= bestScore3) cutoffFlag = kFlagSet;
    }
  }
}

// Flattened: the ply-6 loop, its generator and every scorePly6 call are compiled into this one
// body, with no call per leaf.
VOMBEL_FLATTEN void searchPly5(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[5];
  applyComputerMove(plyBoard5, summary5, plyBoard4, summary4, toX, toY, fromX, fromY);
  bestScore6 = bestScore4;
  scanPiecesWithCutoff<Ranks::downward, ply6Generator>(plyBoard5, summary5.humanPieces);
  if (bestScore6 >= bestScore5) {
    bestScore5 = bestScore6;
    if (bestScore6 >= bestScore4) cutoffFlag = kFlagSet;
  }
}

void scorePly6(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[6];
  // plyBoard6 is not written: nothing reads a leaf's board, only its material.
  const auto s =
      static_cast<float>(summary5.material + humanMoveChange(plyBoard5, toX, toY, fromX, fromY));
  if (s < bestScore6) {
    bestScore6 = s;
    if (s <= bestScore5) cutoffFlag = kFlagSet;
  }
}

}  // namespace vombel
