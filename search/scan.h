// The square loops that run a ply's generator over the pieces of the side to move.
#pragma once

#include "state/board.h"
#include "state/state.h"

namespace vombel {

enum class Side { computer, human };
enum class Ranks { upward, downward };  // y = 1 to 8, or y = 8 down to 1; x is always 1 to 8

template <Side side>
inline bool ownsSquare(std::int32_t code) {
  return side == Side::computer ? code > 0 : code < 0;
}

// Runs generate on every square of b holding a piece of side, ranks in the given direction and
// files 1 to 8 within each rank.
template <Side side, Ranks ranks, void (*generate)(const Board&, int, int)>
inline void scanSquares(const Board& b) {
  for (int i = 1; i <= 8; ++i) {
    const int y = ranks == Ranks::upward ? i : 9 - i;
    for (int x = 1; x <= 8; ++x) {
      if (ownsSquare<side>(b(x, y))) generate(b, x, y);
    }
  }
}

// As scanSquares, but after every square, whether or not it held a piece, a set cutoffFlag is
// cleared and ends the whole loop. Moves of the piece being expanded are always completed.
template <Side side, Ranks ranks, void (*generate)(const Board&, int, int)>
inline void scanSquaresWithCutoff(const Board& b) {
  for (int i = 1; i <= 8; ++i) {
    const int y = ranks == Ranks::upward ? i : 9 - i;
    for (int x = 1; x <= 8; ++x) {
      if (ownsSquare<side>(b(x, y))) generate(b, x, y);
      if (cutoffFlag != kFlagClear) {
        cutoffFlag = kFlagClear;
        return;
      }
    }
  }
}

// Runs generate on all 64 squares, files outer and ranks inner (the fallback's order); the
// generator itself ignores squares without a piece of its side.
template <void (*generate)(const Board&, int, int)>
inline void scanFilesThenRanks(const Board& b) {
  for (int x = 1; x <= 8; ++x) {
    for (int y = 1; y <= 8; ++y)
      generate(b, x, y);
  }
}

// Runs generate on all 64 squares, ranks outer (1 to 8) and files inner.
template <void (*generate)(const Board&, int, int)>
inline void scanRanksThenFiles(const Board& b) {
  for (int y = 1; y <= 8; ++y) {
    for (int x = 1; x <= 8; ++x)
      generate(b, x, y);
  }
}

}  // namespace vombel
