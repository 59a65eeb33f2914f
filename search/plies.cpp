// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The search below the root: the human's replies (ply 2) and plies 3 to 6, unrolled. Each ply has
// its own board and callback; a callback copies the board above, plays its move and runs the next
// ply's generator over its board, or, at a leaf, scores the move from the material of the board
// above. Scores flow up through bestScore2..6 and the shared cutoffFlag. Odd plies maximise for
// the computer, even plies minimise for the human. All the state they write is per thread
// (VOMBEL_PER_THREAD): search threads search candidates side by side, each in its own copy.
//
// The last ply's loop (ply 6 at Difficult, ply 4 at Easy) is counted in bulk, piece by piece
// (countPly6Loop, countPly4Leaves); its callbacks, scorePly6 and the leaf of searchPly4, stay as
// the reference, run when bulkLeaves is off. Both give the same counts, scores and moves. With
// the bulk count, ply 5 has no callback either: each computer piece's moves are listed from sets
// in the generator's order (listComputerMoves) and searched in a loop (searchPly5Loop).
#include <algorithm>
#include <limits>

#include "eval/evaluation.h"
#include "platform/hints.h"
#include "search/instances.h"
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
VOMBEL_PER_THREAD Summary summary2{}, summary3{}, summary4{}, summary5{};

// The computer's pieces of plyBoard2 to plyBoard4 by kind, kept up to date move by move like the
// summaries when the ply-6 loops are counted in bulk: they price its captures
// (humanLeafMovesByKind).
VOMBEL_PER_THREAD ComputerKinds kinds2{}, kinds3{}, kinds4{};

// Whether the leaf loops below the reply being searched count in bulk: bulkLeaves, unless a pawn
// stands on its last rank in the reply (see stalePawn).
VOMBEL_PER_THREAD bool leavesInBulk{};

// The kinds after a computer move of the piece `code` (before its promotion, `arrivedCode`
// after) from the square `from` to `to`; no computer piece stood on `to`.
inline void moveKind(ComputerKinds& kinds, std::int32_t code, std::int32_t arrivedCode,
                     std::uint64_t from, std::uint64_t to) {
  kinds.squares[kindOf(code)] &= ~from;
  kinds.squares[kindOf(arrivedCode)] |= to;
}

// The kinds after a human move captured whatever stood on `to`.
inline void captureKind(ComputerKinds& kinds, std::uint64_t to) {
  for (std::uint64_t& squares : kinds.squares)
    squares &= ~to;
}

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

// Makes a human move on b: a pawn that reaches rank 8 becomes a queen.
inline void playHumanMove(Board& b, int toX, int toY, int fromX, int fromY) {
  makeMove(b, fromX, fromY, toX, toY);
  if (b(toX, 8) == -kPawn) b(toX, 8) = -kQueen;
}

// Plays a human move from parent onto child.
inline void applyHumanMove(Board& child, const Board& parent, int toX, int toY, int fromX,
                           int fromY) {
  copyBoard(child, parent);
  playHumanMove(child, toX, toY, fromX, fromY);
}

// The change a human move makes to the material of parent: the captured code leaves, and a
// human pawn on (toX, 8) afterwards becomes a queen. That square then holds the mover if it
// landed there, else what it held before: a piece leaving it is never a pawn, as a pawn on
// rank 8 has no move.
inline std::int32_t humanMoveChange(const Board& parent, int toX, int toY, int fromX, int fromY) {
  const std::int32_t lastRank = toY == 8 ? parent(fromX, fromY) : parent(toX, 8);
  return -parent(toX, toY) - (lastRank == -kPawn ? kPromotionGain : 0);
}

// The summary of parent's child after a human move.
inline Summary humanMoveSummary(const Board& parent, const Summary& parentSummary, int toX, int toY,
                                int fromX, int fromY) {
  const std::uint64_t to = squareBit(toX, toY);
  return {parentSummary.material + humanMoveChange(parent, toX, toY, fromX, fromY),
          parentSummary.computerPieces & ~to,
          (parentSummary.humanPieces & ~squareBit(fromX, fromY)) | to};
}

// applyHumanMove with the child's summary.
inline void applyHumanMove(Board& child, Summary& childSummary, const Board& parent,
                           const Summary& parentSummary, int toX, int toY, int fromX, int fromY) {
  childSummary = humanMoveSummary(parent, parentSummary, toX, toY, fromX, fromY);
  applyHumanMove(child, parent, toX, toY, fromX, fromY);
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
// count reads as plyBoard4 with the ply-5 move's piece arrived (BulkMove) instead of copying them
// into plyBoard5.
//
// A move changes two squares, its origin and destination. A human piece whose reach holds
// neither has the same moves after the move as before (and the same as after any other such
// move). So the human pieces of plyBoard4 are listed once per ply-4 move with their moves there
// (ply4Pieces), and a ply-5 child updates only the pieces whose reach its move touches, from
// their moves on plyBoard4 (touchedPieceTally). The moves of the pieces of plyBoard3 are kept
// likewise (records3) for the ply-4 moves that leave them alone.
inline constexpr std::int32_t kNoLeaf = std::numeric_limits<std::int32_t>::min();

// One human piece and its leaf moves, in 16 bytes: the loops below read many of them.
struct PieceLeaves {
  // Its square and its reach (LeafMoves::reach, which never holds the piece's own square): while
  // a move changes none of them, the piece's moves stay.
  std::uint64_t watched;
  std::int32_t gain;   // as LeafMoves, or kNoLeaf when the piece has no move
  std::int16_t code;   // the piece's code
  std::int8_t count;   // as LeafMoves (at most 27)
  std::int8_t square;  // the bit number of its square

  std::uint64_t reach() const { return watched & ~(std::uint64_t{1} << square); }
};
static_assert(sizeof(PieceLeaves) == 16);

// The leaf moves of the human piece `code` on the square of bit a (see humanLeafMovesByKind).
inline PieceLeaves pieceLeaves(std::int32_t code, int a, const Summary& summary,
                               const ComputerKinds& kinds) {
  const LeafMoves moves = humanLeafMovesByKind(code, a, summary, kinds);
  return {moves.reach | (std::uint64_t{1} << a), moves.count != 0 ? moves.gain : kNoLeaf,
          static_cast<std::int16_t>(code), static_cast<std::int8_t>(moves.count),
          static_cast<std::int8_t>(a)};
}

VOMBEL_PER_THREAD std::uint64_t ply4Squares{};  // the two squares of the ply-4 move

// What was worked out for the pieces of plyBoard3 at one ply-4 move, by square, kept for the other
// ply-4 moves of the same ply-3 move: an entry holds while the ply-4 move leaves the squares it
// depends on alone (dependsOn). Cleared per ply-3 move.
template <class Entry>
struct Ply3Records {
  Entry entries[64];
  std::uint64_t recorded;  // the squares whose entry holds
};

inline std::uint64_t dependsOn(const PieceLeaves& piece) {
  return piece.watched;
}
inline std::uint64_t dependsOn(const ComputerMoves& moves) {
  return moves.reach;
}

// The entry of the square of bit a if it holds for the ply-4 move, else none.
template <class Entry>
inline const Entry* heldRecord(const Ply3Records<Entry>& records, int a) {
  const Entry& entry = records.entries[a];
  return ((records.recorded >> a) & 1) != 0 && (dependsOn(entry) & ply4Squares) == 0 ? &entry
                                                                                     : nullptr;
}

// Keeps `entry`, made for the square of bit a of the ply-4 position, if the ply-4 move left what
// it depends on alone: it is then as it would be on plyBoard3.
template <class Entry>
inline void keepRecord(Ply3Records<Entry>& records, int a, const Entry& entry) {
  if ((dependsOn(entry) & ply4Squares) == 0) {
    records.entries[a] = entry;
    records.recorded |= std::uint64_t{1} << a;
  }
}

VOMBEL_PER_THREAD Ply3Records<PieceLeaves> records3{};        // the human pieces' leaf moves
VOMBEL_PER_THREAD Ply3Records<ComputerMoves> moveRecords3{};  // the computer pieces' ply-5 moves

// A ply-5 move as the bulk count reads its child: plyBoard4 with the moving piece arrived.
struct BulkMove {
  std::uint64_t from;     // the square it leaves (squareBit bit)
  ArrivedPiece arrived;   // where it arrives, as what
  std::int32_t material;  // the child's material
};

// The human pieces of plyBoard4 in the leaf loop's order.
VOMBEL_PER_THREAD PieceLeaves ply4Pieces[64]{};
VOMBEL_PER_THREAD int ply4PieceCount{};
VOMBEL_PER_THREAD std::uint64_t ply4Watched{};  // the squares that some piece of ply4Pieces watches

// Lists the human pieces of the ply-4 position b4 and their moves, from records3 where the ply-4
// move left a piece alone.
inline void listPly4Pieces(const Board& b4) {
  ply4PieceCount = 0;
  ply4Watched = 0;
  for (std::uint64_t pieces = summary4.humanPieces; pieces != 0; pieces &= pieces - 1) {
    const int a = std::countr_zero(pieces);
    if (const PieceLeaves* kept = heldRecord(records3, a)) {
      ply4Pieces[ply4PieceCount++] = *kept;
      ply4Watched |= kept->watched;
      continue;
    }
    const PieceLeaves piece = pieceLeaves(b4(screenFile(a), screenRank(a)), a, summary4, kinds4);
    // Kept only for a piece that stood on its square on plyBoard3, not the one the ply-4 move
    // brought there.
    if (((summary3.humanPieces >> a) & 1) != 0) keepRecord(records3, a, piece);
    ply4Pieces[ply4PieceCount++] = piece;
    ply4Watched |= piece.watched;
  }
}

// What the leaf loop needs of one piece's moves: their number and the most material one takes
// (kNoLeaf for none). Small enough to come back in a register.
struct LeafTally {
  std::int32_t count;
  std::int32_t gain;
};

// The moves in the ply-5 move's child of a human piece of plyBoard4 whose reach that move touches
// and which it does not capture: but for a pawn, they follow from its moves on plyBoard4
// (humanLeafMovesAfterMove).
inline LeafTally touchedPieceTally(const PieceLeaves& piece, const BulkMove& move) {
  const int a = piece.square;
  const std::uint64_t to = move.arrived.square;
  LeafMoves moves;
  if (piece.code == -kPawn) {
    const Summary child{move.material, (summary4.computerPieces & ~move.from) | to,
                        summary4.humanPieces & ~to};
    moves = humanLeafMovesByKind(piece.code, a, child, kinds4, move.arrived);
  } else {
    const LeafMoves before{piece.count, piece.gain, piece.reach()};
    moves =
        humanLeafMovesAfterMove(piece.code, a, before, summary4, kinds4, move.from, move.arrived);
  }
  return {moves.count, moves.count != 0 ? moves.gain : kNoLeaf};
}

// The ply-6 loop in bulk over the first `count` pieces of ply4Pieces, as scanPiecesWithCutoff
// with countLeaves for each piece would run it, for the ply-5 move `move`: the number of leaves
// and the highest gain among them (kNoLeaf for none). All scores are whole numbers, so a piece's
// lowest leaf, material - gain, ends the loop (is below the best so far and at or below the
// bound) exactly when its gain reaches `enough` = material - min(bound, best - 1):
//   - if bound < best, the pieces before it all scored above the bound (one at or below would
//     have ended the loop), so it ends the loop iff lowest <= bound;
//   - otherwise it ends the loop iff lowest < best, as nothing before it went below that.
// So the loop is a search for the first piece with a move and gain >= enough; the best becomes
// that piece's lowest, or, when none ends the loop, the lowest of all.
struct LeafLoop {
  int calls;  // at most 64 pieces of 27 moves: an int adds each count without widening it
  std::int32_t highest;
};
inline LeafLoop countPly6Loop(const BulkMove& move, std::int32_t enough, int count) {
  const std::uint64_t changed = move.from | move.arrived.square;
  LeafLoop loop{0, kNoLeaf};
  for (int k = 0; k < count; ++k) {
    const PieceLeaves& piece = ply4Pieces[k];
    LeafTally tally{piece.count, piece.gain};
    if ((piece.watched & changed) != 0) {
      if (((move.arrived.square >> piece.square) & 1) != 0) continue;  // captured by the move
      tally = touchedPieceTally(piece, move);
    }
    loop.calls += tally.count;
    loop.highest = std::max(loop.highest, tally.gain);
    if (tally.gain >= enough) break;
  }
  return loop;
}

// The moves of the computer piece `code` on the square of bit f of the ply-4 position: from
// moveRecords3 while the ply-4 move leaves their reach alone, else listed into `fresh` (and kept
// if they are as on plyBoard3).
inline const ComputerMoves& ply5Moves(std::int32_t code, int f, ComputerMoves& fresh) {
  if (const ComputerMoves* kept = heldRecord(moveRecords3, f)) return *kept;
  listComputerMoves(code, f, summary4.computerPieces, summary4.humanPieces, fresh);
  keepRecord(moveRecords3, f, fresh);
  return fresh;
}

// The ply-5 loop of the ply-4 position b4 with every ply-6 loop counted in bulk:
// scanPiecesWithCutoff over the computer's pieces, each piece's moves listed in the generator's
// order (listComputerMoves, which tests hold to the generator) and each move searched as searchPly5
// with the callbacks of scorePly6 would. The scores and the cut-off flag live in locals while the
// loop runs:
//   - bestScore4 to bestScore6 are whole numbers here, so ints hold them exactly;
//   - a ply-5 move that signals a cut-off does not end its piece's moves: the next one's ply-6
//     loop receives the flag set, looks at the first square only and clears it.
// A quiet move takes nothing, promotes nothing, and neither leaves nor reaches a square that a
// human piece watches (ply4Watched, which holds the pieces' own squares as well). It leaves every
// human piece's moves as they are on plyBoard4, so its ply-6 loop depends on bestScore5 alone:
// counted once, it stands for every quiet move that follows while bestScore5 stays (quiet).
inline void searchPly5Loop(const Board& b4) {
  std::uint64_t pieces = summary4.computerPieces;
  bool cutoff = cutoffFlag != kFlagClear;
  cutoffFlag = kFlagClear;
  if (cutoff && (pieces & 1) == 0) return;
  const auto best4 = static_cast<std::int32_t>(bestScore4);
  auto best5 = static_cast<std::int32_t>(bestScore5);
  std::int32_t best6 = kNoLeaf;  // bestScore6 after the last move, if any
  unsigned long long calls5 = 0;
  unsigned long long calls6 = 0;
  LeafLoop quiet{};
  std::int32_t quietBest5 = kNoLeaf;  // the bestScore5 that quiet holds for, kNoLeaf for none
  // The gain that ends a ply-6 loop whose parent has this material (see countPly6Loop).
  const auto enoughFor = [&](std::int32_t material) {
    return material - std::min(best5, best4 - 1);
  };
  while (pieces != 0) {
    const int f = std::countr_zero(pieces);
    pieces &= pieces - 1;
    const std::int32_t code = b4(screenFile(f), screenRank(f));
    const std::uint64_t square = std::uint64_t{1} << f;
    ComputerMoves fresh;
    const ComputerMoves& list = ply5Moves(code, f, fresh);
    const int moves = list.count;
    calls5 += static_cast<unsigned long long>(moves);
    // The destinations of the piece's moves that are not quiet: every one when it leaves a
    // watched square; for a pawn, rank 1 as well, where it promotes.
    const std::uint64_t loud = ((ply4Watched >> f) & 1) != 0 ? ~std::uint64_t{0}
                               : code == kPawn               ? ply4Watched | kRank1Squares
                                                             : ply4Watched;
    for (int m = 0; m < moves; ++m) {
      const int t = list.to[m];
      std::int32_t material = summary4.material;
      LeafLoop loop;
      if (((loud >> t) & 1) == 0 && !cutoff) {
        if (quietBest5 != best5) {
          const BulkMove move{square, {0, code}, material};
          quiet = countPly6Loop(move, enoughFor(material), ply4PieceCount);
          quietBest5 = best5;
        }
        loop = quiet;
      } else {
        const std::uint64_t toSquare = std::uint64_t{1} << t;
        if ((summary4.humanPieces & toSquare) != 0) material -= b4(screenFile(t), screenRank(t));
        ArrivedPiece arrived{toSquare, code};
        if (code == kPawn && screenRank(t) == 1) {  // the pawn becomes a queen
          arrived.code = kQueen;
          material += kPromotionGain;
        }
        int count = ply4PieceCount;
        if (cutoff) {
          cutoff = false;
          count = (summary4.humanPieces & 1) != 0 ? 1 : 0;  // only rank 8, file 1
        }
        loop = countPly6Loop({square, arrived, material}, enoughFor(material), count);
      }
      calls6 += static_cast<unsigned long long>(loop.calls);
      best6 = loop.highest != kNoLeaf ? std::min(best4, material - loop.highest) : best4;
      if (best6 >= best5) {
        best5 = best6;
        if (best6 >= best4) cutoff = true;
      }
    }
    if (cutoff) break;
  }
  plyCalls[5] += calls5;
  plyCalls[6] += calls6;
  bestScore5 = static_cast<float>(best5);
  if (best6 != kNoLeaf) bestScore6 = static_cast<float>(best6);
}

}  // namespace

bool bulkLeaves = true;
bool bitCountCopy = cpuHasBitCount();
std::atomic<BulkCopy> bulkCopyRan = BulkCopy::none;

void recordReply(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[2];
  if (replyCount >= kMaxListEntries) return;  // the list is full: further replies are dropped
  ++replyCount;
  applyHumanMove(plyBoard2, plyBoard1, toX, toY, fromX, fromY);
  copyBoard(replyPositions[replyCount], plyBoard2);
}

void searchReply(int m) {
  copyBoard(plyBoard2, replyPositions[m]);
  summary2 = {wholeMaterialSum(plyBoard2), pieceSquares<Side::computer>(plyBoard2),
              pieceSquares<Side::human>(plyBoard2)};
  leavesInBulk = bulkLeaves && !stalePawn(plyBoard2);
  if (searchDifficult && leavesInBulk) kinds2 = computerKinds(plyBoard2);
  bestScore3 = kLowestScore;
  scanPiecesWithCutoff<Ranks::upward, ply3Generator>(plyBoard2, summary2.computerPieces);
}

void searchReplies() {
  const int count = replyCount;
  for (int m = 1; m <= count; ++m) {
    searchReply(m);
    if (bestScore3 <= bestScore2) {
      bestScore2 = bestScore3;
      // The candidate can no longer beat the best one: its other replies are not searched.
      if (bestScore3 <= bestScore1) return;
    }
    if (stopSearch.load(std::memory_order_relaxed)) return;
  }
}

void searchPly3(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[3];
  applyComputerMove(plyBoard3, summary3, plyBoard2, summary2, toX, toY, fromX, fromY);
  if (searchDifficult && leavesInBulk) {
    kinds3 = kinds2;
    moveKind(kinds3, plyBoard2(fromX, fromY), plyBoard3(toX, toY), squareBit(fromX, fromY),
             squareBit(toX, toY));
  }
  bestScore4 = bestScore2;
  records3.recorded = 0;
  moveRecords3.recorded = 0;
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

namespace {

// Plays a ply-5 move onto plyBoard5 and runs the ply-6 loop with a callback per leaf, the
// reference for the bulk count. Flattened: the loop, its generator and every scorePly6 call are
// compiled into this one body, with no call per leaf; kept out of searchPly5, which is lighter
// without it.
VOMBEL_FLATTEN VOMBEL_NOINLINE void playPly5AndScanPly6(int toX, int toY, int fromX, int fromY) {
  applyComputerMove(plyBoard5, summary5, plyBoard4, summary4, toX, toY, fromX, fromY);
  scanPiecesWithCutoff<Ranks::downward, ply6Generator>(plyBoard5, summary5.humanPieces);
}

// The ply-4 move and its ply-5 loop, with every ply-6 loop counted in bulk. The bulk count reads
// the ply-4 position only for the codes of a few squares, so the move is made on plyBoard3 itself
// and taken back afterwards rather than copied to plyBoard4. The generator running over plyBoard3
// finds the board as it was.
inline void searchPly4InBulk(int toX, int toY, int fromX, int fromY) {
  summary4 = humanMoveSummary(plyBoard3, summary3, toX, toY, fromX, fromY);
  ply4Squares = squareBit(fromX, fromY) | squareBit(toX, toY);
  kinds4 = kinds3;
  captureKind(kinds4, squareBit(toX, toY));
  // With no pawn stale on rank 8, the move changes its two squares only.
  const std::int32_t mover = plyBoard3(fromX, fromY);
  const std::int32_t captured = plyBoard3(toX, toY);
  playHumanMove(plyBoard3, toX, toY, fromX, fromY);
  listPly4Pieces(plyBoard3);
  searchPly5Loop(plyBoard3);
  plyBoard3(fromX, fromY) = mover;
  plyBoard3(toX, toY) = captured;
}

// searchPly4InBulk compiled twice, with all it calls inlined: once for any CPU, once for CPUs with
// a bit-count instruction, which counts the squares of a piece's moves in one step. In the most
// crowded positions that copy is about 7 % faster.
VOMBEL_FLATTEN VOMBEL_NOINLINE void bulkPly4AnyCpu(int toX, int toY, int fromX, int fromY) {
  bulkCopyRan.store(BulkCopy::anyCpu, std::memory_order_relaxed);
  searchPly4InBulk(toX, toY, fromX, fromY);
}
VOMBEL_FLATTEN VOMBEL_NOINLINE VOMBEL_WITH_BIT_COUNT void bulkPly4Popcnt(int toX, int toY,
                                                                         int fromX, int fromY) {
  bulkCopyRan.store(BulkCopy::bitCount, std::memory_order_relaxed);
  searchPly4InBulk(toX, toY, fromX, fromY);
}

// What a ply-5 move's score does to the ply-5 loop (a maximising ply).
inline void takePly5Score() {
  if (bestScore6 >= bestScore5) {
    bestScore5 = bestScore6;
    if (bestScore6 >= bestScore4) cutoffFlag = kFlagSet;
  }
}

}  // namespace

void searchPly4(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[4];
  if (searchDifficult) {
    bestScore5 = bestScore3;
    if (leavesInBulk) {
      if (bitCountCopy) {
        bulkPly4Popcnt(toX, toY, fromX, fromY);
      } else {
        bulkPly4AnyCpu(toX, toY, fromX, fromY);
      }
    } else {
      applyHumanMove(plyBoard4, summary4, plyBoard3, summary3, toX, toY, fromX, fromY);
      scanPiecesWithCutoff<Ranks::downward, ply5Generator>(plyBoard4, summary4.computerPieces);
    }
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

void searchPly5(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[5];
  bestScore6 = bestScore4;
  playPly5AndScanPly6(toX, toY, fromX, fromY);
  takePly5Score();
}

void scorePly6(int toX, int toY, int fromX, int fromY) {
  ++plyCalls[6];
  // plyBoard6 is not written: nothing reads a leaf's board, only its material. This is the
  // reference that the bulk count (countPly6Loop) replaces.
  takeLeaf(
      static_cast<float>(summary5.material + humanMoveChange(plyBoard5, toX, toY, fromX, fromY)),
      bestScore6, bestScore5);
}

}  // namespace vombel
