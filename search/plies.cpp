// The search below the root: the human's replies (ply 2) and plies 3 to 6, unrolled. Each ply has
// its own board and callback; a callback copies the board above, plays its move and runs the next
// ply's generator over its board, or, at a leaf, scores the move from the material of the board
// above. Scores flow up through bestScore2..6 and the shared cutoffFlag. Odd plies maximise for
// the computer, even plies minimise for the human.
#include "eval/evaluation.h"
#include "movegen/instances.h"
#include "platform/hints.h"
#include "search/leaves.h"
#include "search/scan.h"
#include "search/search.h"
#include "state/board_ops.h"
#include "state/state.h"

namespace vombel {

namespace {

// The summaries of plyBoard2 to plyBoard5 (see Summary). A move changes the material only by the
// code it captures and by a promotion, so a leaf is scored from its parent's material without
// summing 64 squares; whole numbers convert to the same float. The piece squares let a ply's loop
// go straight from one piece of the side to move to the next.
Summary summary2, summary3, summary4, summary5;

// Whether the leaf loops below the reply being searched count in bulk: bulkLeaves, unless a pawn
// stands on its last rank in the reply (see stalePawn).
bool leavesInBulk;

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

// applyComputerMove's summary of the child without the child: at a leaf's parent the bulk count
// reads the board above with the piece that arrives (see ArrivedPiece). Exact only where no
// computer pawn stands on rank 1 before the move.
inline ArrivedPiece summariseComputerMove(Summary& childSummary, const Board& parent,
                                          const Summary& parentSummary, int toX, int toY, int fromX,
                                          int fromY) {
  std::int32_t code = parent(fromX, fromY);
  childSummary.material = parentSummary.material - parent(toX, toY);
  if (code == kPawn && toY == 1) {
    code = kQueen;
    childSummary.material += kPromotionGain;
  }
  const std::uint64_t to = squareBit(toX, toY);
  childSummary.computerPieces = (parentSummary.computerPieces & ~squareBit(fromX, fromY)) | to;
  childSummary.humanPieces = parentSummary.humanPieces & ~to;
  return {to, code};
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

// A leaf worth s at a minimising ply: taken as the new best only when strictly lower (note the
// strict comparison for a leaf), and then signals a cut-off when at or below the bound.
inline void takeLeaf(float s, float& best, float bound) {
  if (s < best) {
    best = s;
    if (s <= bound) cutoffFlag = kFlagSet;
  }
}

// Why the bulk count equals the callbacks. A leaf loop visits the human pieces in order and tests
// cutoffFlag only after all the moves of a piece; the bound stays fixed during the loop. Over the
// moves of one piece, takeLeaf once per move leaves best at min(best, lowest), and signals a
// cut-off exactly when lowest < best (as it was before the piece) and lowest <= bound: the first
// move scoring the lowest is then a new best, and any move that signals is a new best at or below
// the bound, so the lowest is too. So taking each piece's lowest once, and adding its number of
// moves to the call count, does what its callbacks do.
inline void countLeaves(const LeafMoves& moves, const Summary& parent, unsigned long long& calls,
                        float& best, float bound) {
  calls += moves.count;
  if (moves.count != 0) takeLeaf(static_cast<float>(parent.material - moves.gain), best, bound);
}

// The ply-4 leaves (Easy) of the human piece on (x, y) of plyBoard3, in bulk.
inline void countPly4Leaves(const Board& b, int x, int y) {
  countLeaves(humanLeafMoves(b, summary3, screenIndex(x, y)), summary3, plyCalls[4], bestScore4,
              bestScore3);
}

// The ply-6 leaves (Difficult). Their parents are the ply-5 children of plyBoard4, which the bulk
// count reads as plyBoard4 with the ply-5 move's piece arrived (arrived5) instead of copying them
// into plyBoard5.
//
// A move changes two squares, its origin and destination. A human piece whose reach holds
// neither has the same moves after the move as before (and the same as after any other such
// move), so the moves found for a piece are recorded for the board above the leaves' parent,
// plyBoard4, and for the one above that, plyBoard3, and used again for every leaf parent below
// whose moves since then (ply4Squares, ply5Squares) left its reach alone.
struct LeafRecords {
  LeafMoves moves[64];     // by square
  std::uint64_t recorded;  // the squares whose entry holds
};
LeafRecords records3, records4;  // for plyBoard3, cleared per ply-3 move; plyBoard4 likewise
std::uint64_t ply4Squares, ply5Squares;
ArrivedPiece arrived5;

// The moves of the human piece on the square of bit a of the ply-5 child being searched.
inline LeafMoves ply6Moves(int a) {
  const std::uint64_t square = std::uint64_t{1} << a;
  if ((records4.recorded & square) != 0 && (records4.moves[a].reach & ply5Squares) == 0) {
    return records4.moves[a];
  }
  if ((records3.recorded & square) != 0 &&
      (records3.moves[a].reach & (ply4Squares | ply5Squares)) == 0) {
    records4.moves[a] = records3.moves[a];
    records4.recorded |= square;
    return records3.moves[a];
  }
  const LeafMoves moves = humanLeafMoves(plyBoard4, summary5, a, arrived5);
  if ((moves.reach & ply5Squares) == 0) {
    records4.moves[a] = moves;
    records4.recorded |= square;
    // The piece stood on this square in plyBoard3 too unless it made the ply-4 move.
    if ((moves.reach & ply4Squares) == 0 && (summary3.humanPieces & square) != 0) {
      records3.moves[a] = moves;
      records3.recorded |= square;
    }
  }
  return moves;
}

// The ply-6 loop in bulk: scanPiecesWithCutoff over the human pieces of the ply-5 child with
// countLeaves for each, its flag, best and count kept in locals. The flag is only ever left
// clear: a cut-off ends the loop, and one arriving set stops it after the first square.
inline void countPly6Loop() {
  std::uint64_t pieces = summary5.humanPieces;
  if (cutoffFlag != kFlagClear) {
    cutoffFlag = kFlagClear;
    pieces &= 1;  // only the first square, rank 8 file 1, is visited
  }
  float best = bestScore6;
  const float bound = bestScore5;
  unsigned long long calls = 0;
  while (pieces != 0) {
    const int a = std::countr_zero(pieces);
    pieces &= pieces - 1;
    const LeafMoves moves = ply6Moves(a);
    calls += moves.count;
    const auto s = static_cast<float>(summary5.material - moves.gain);
    if (moves.count != 0 && s < best) {  // takeLeaf, with the cut-off ending the loop at once
      best = s;
      if (s <= bound) break;
    }
  }
  bestScore6 = best;
  plyCalls[6] += calls;
}

}  // namespace

bool bulkLeaves = true;

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
    leavesInBulk = bulkLeaves && !stalePawn(plyBoard2);
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
  records3.recorded = 0;
  if (!searchDifficult && leavesInBulk) {
    scanPiecesWithCutoff<Ranks::downward, countPly4Leaves>(plyBoard3, summary3.humanPieces);
  } else {
    scanPiecesWithCutoff<Ranks::downward, ply4Generator>(plyBoard3, summary3.humanPieces);
  }
  if (bestScore4 >= bestScore3) {
    bestScore3 = bestScore4;
    if (bestScore4 >= bestScore2) cutoffFlag = kFlagSet;
  }
}

void searchPly4(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[4];
  if (searchDifficult) {
    applyHumanMove(plyBoard4, summary4, plyBoard3, summary3, toX, toY, fromX, fromY);
    records4.recorded = 0;
    ply4Squares = squareBit(fromX, fromY) | squareBit(toX, toY);
    bestScore5 = bestScore3;
    scanPiecesWithCutoff<Ranks::downward, ply5Generator>(plyBoard4, summary4.computerPieces);
    if (bestScore5 <= bestScore4) {
      bestScore4 = bestScore5;
      if (bestScore5 <= bestScore3) cutoffFlag = kFlagSet;
    }
  } else {
    // Level Easy: ply 4 is the leaf; plyBoard4 is not written, only its material counts. This
    // is the reference that the bulk count (countPly4Leaves) replaces.
    takeLeaf(
        static_cast<float>(summary3.material + humanMoveChange(plyBoard3, toX, toY, fromX, fromY)),
        bestScore4, bestScore3);
  }
}

// Flattened: the ply-6 loop, its generator and every scorePly6 call are compiled into this one
// body, with no call per leaf.
VOMBEL_FLATTEN void searchPly5(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[5];
  bestScore6 = bestScore4;
  if (leavesInBulk) {
    arrived5 = summariseComputerMove(summary5, plyBoard4, summary4, toX, toY, fromX, fromY);
    ply5Squares = squareBit(fromX, fromY) | squareBit(toX, toY);
    countPly6Loop();
  } else {
    applyComputerMove(plyBoard5, summary5, plyBoard4, summary4, toX, toY, fromX, fromY);
    scanPiecesWithCutoff<Ranks::downward, ply6Generator>(plyBoard5, summary5.humanPieces);
  }
  if (bestScore6 >= bestScore5) {
    bestScore5 = bestScore6;
    if (bestScore6 >= bestScore4) cutoffFlag = kFlagSet;
  }
}

void scorePly6(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[6];
  // plyBoard6 is not written: nothing reads a leaf's board, only its material. This is the
  // reference that the bulk count (countPly6Leaves) replaces.
  takeLeaf(
      static_cast<float>(summary5.material + humanMoveChange(plyBoard5, toX, toY, fromX, fromY)),
      bestScore6, bestScore5);
}

}  // namespace vombel
