// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Castling by the human's two clicks, king e1 to g1 or c1, and the computer's castling
// candidates, for each wing with each square that must be empty occupied and each square that
// must not be attacked attacked, one at a time.
#include <gtest/gtest.h>

#include <string>

#include "game/turn_cycle.h"
#include "platform/controls.h"
#include "search/search.h"
#include "state/state.h"
#include "tests/support/test_support.h"

namespace vombel {
namespace {

using testing_support::boardFromText;
using testing_support::boardToText;
using testing_support::GameTest;
using testing_support::startFrom;

// Eight squares of rank text with piece on file x (1..8) of base.
std::string with(std::string base, int x, char piece) {
  base[x - 1] = piece;
  return base;
}

class Castling : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    selectLevel(false);  // the replies need not be deep here
  }
};

// The human's king e1 with both rooks at home, the computer's king out of the way on a8. A
// computer rook on file x of rank 8, with the human's pawn on that file gone, attacks (x, 1)
// and no other square of rank 1.
std::string humanPosition(const std::string& rank8, const std::string& rank2,
                          const std::string& rank1) {
  return rank8 + " ........ ........ ........ ........ ........ " + rank2 + " " + rank1;
}

struct HumanCase {
  const char* what;
  int file;  // the file the king's second click goes to: 7 (g1) or 3 (c1)
  std::string position;
  bool castles;
};

TEST_F(Castling, HumanNeedsEveryRequiredSquareEmptyAndUnattacked) {
  const std::string k8 = "k.......";
  const std::string pawns = "PPPPPPPP";
  const std::string home = "R...K..R";
  const auto attackedOn = [&](int x) {
    return humanPosition(with(k8, x, 'r'), with(pawns, x, '.'), home);
  };
  const HumanCase cases[] = {
      {"king side, all clear", 7, humanPosition(k8, pawns, home), true},
      {"king side, e1 attacked", 7, attackedOn(5), false},
      {"king side, f1 attacked", 7, attackedOn(6), false},
      {"king side, g1 attacked (the king's destination)", 7, attackedOn(7), false},
      {"king side, h1 attacked (the rook may be)", 7, attackedOn(8), true},
      {"king side, f1 occupied", 7, humanPosition(k8, pawns, with(home, 6, 'B')), false},
      {"king side, g1 occupied", 7, humanPosition(k8, pawns, with(home, 7, 'N')), false},
      {"king side, g1 holds a computer piece", 7, humanPosition(k8, pawns, with(home, 7, 'n')),
       false},
      {"king side, no rook on h1", 7, humanPosition(k8, pawns, with(home, 8, '.')), false},
      {"queen side, all clear", 3, humanPosition(k8, pawns, home), true},
      {"queen side, e1 attacked", 3, attackedOn(5), false},
      {"queen side, d1 attacked", 3, attackedOn(4), false},
      {"queen side, c1 attacked (the king's destination)", 3, attackedOn(3), false},
      {"queen side, b1 attacked (the king never crosses it)", 3, attackedOn(2), true},
      {"queen side, b1 occupied (the knight's square)", 3,
       humanPosition(k8, pawns, with(home, 2, 'N')), false},
      {"queen side, b1 holds a computer knight", 3, humanPosition(k8, pawns, with(home, 2, 'n')),
       false},
      {"queen side, c1 occupied", 3, humanPosition(k8, pawns, with(home, 3, 'B')), false},
      {"queen side, d1 occupied", 3, humanPosition(k8, pawns, with(home, 4, 'Q')), false},
      {"queen side, no rook on a1", 3, humanPosition(k8, pawns, with(home, 1, '.')), false},
  };
  for (const HumanCase& test : cases) {
    SCOPED_TRACE(test.what);
    startFrom(test.position);
    const std::string before = boardToText(board);
    c_Click(screenIndex(5, 1));
    c_Click(screenIndex(test.file, 1));
    if (test.castles) {
      const int rookFrom = test.file == 7 ? 8 : 1;
      const int rookTo = test.file == 7 ? 6 : 4;
      EXPECT_EQ(humanCastled, 1);
      EXPECT_EQ(moveNumber, 2.0f);  // castled and answered
      EXPECT_EQ(gameHistory[1](test.file, 1), kHumanKing);
      EXPECT_EQ(gameHistory[1](rookTo, 1), -kRook);
      EXPECT_EQ(gameHistory[1](5, 1), kEmpty);
      EXPECT_EQ(gameHistory[1](rookFrom, 1), kEmpty);
    } else {
      // Refused, and the two-square king move is no ordinary move either: nothing happens.
      EXPECT_EQ(humanCastled, 0);
      EXPECT_EQ(moveNumber, 0.0f);
      EXPECT_EQ(boardToText(board), before);
    }
  }
}

// The computer's king e8 with its rooks; the human's king on a1. A human rook on file x of
// rank 1, with both pawns on that file gone, attacks (x, 8) and no other square of rank 8.
std::string computerPosition(const std::string& rank8, const std::string& rank7,
                             const std::string& rank1, const std::string& rank2 = "PPPPPPPP") {
  return rank8 + " " + rank7 + " ........ ........ ........ ........ " + rank2 + " " + rank1;
}

struct ComputerCase {
  const char* what;
  std::string position;
  int kingTo;  // the castled king's file in the one candidate, 0 for none
};

TEST_F(Castling, ComputerNeedsEveryRequiredSquareEmptyAndUnattacked) {
  const std::string kingSide = "rn..k..r";   // the knight on b8 keeps the queen side shut
  const std::string queenSide = "r...k...";  // no rook on h8: only the queen side
  const std::string pawns = "pppppppp";
  const std::string k1 = "K.......";
  const auto attackedOn = [&](const std::string& rank8, int x) {
    return computerPosition(rank8, with(pawns, x, '.'), with(k1, x, 'R'), with("PPPPPPPP", x, '.'));
  };
  const ComputerCase cases[] = {
      {"king side, all clear", computerPosition(kingSide, pawns, k1), 7},
      {"king side, e8 attacked", attackedOn(kingSide, 5), 0},
      {"king side, f8 attacked", attackedOn(kingSide, 6), 0},
      {"king side, g8 attacked", attackedOn(kingSide, 7), 0},
      {"king side, h8 attacked (the rook's square counts here)", attackedOn(kingSide, 8), 0},
      {"king side, f8 occupied", computerPosition(with(kingSide, 6, 'b'), pawns, k1), 0},
      {"king side, g8 occupied", computerPosition(with(kingSide, 7, 'N'), pawns, k1), 0},
      {"queen side, all clear", computerPosition(queenSide, pawns, k1), 3},
      {"queen side, e8 attacked", attackedOn(queenSide, 5), 0},
      {"queen side, d8 attacked", attackedOn(queenSide, 4), 0},
      {"queen side, c8 attacked", attackedOn(queenSide, 3), 0},
      {"queen side, b8 attacked (the king never crosses it)", attackedOn(queenSide, 2), 3},
      {"queen side, b8 occupied", computerPosition(with(queenSide, 2, 'n'), pawns, k1), 0},
      {"queen side, c8 occupied", computerPosition(with(queenSide, 3, 'b'), pawns, k1), 0},
      {"queen side, d8 occupied", computerPosition(with(queenSide, 4, 'q'), pawns, k1), 0},
      {"both ready: the king side only", computerPosition("r...k..r", pawns, k1), 7},
      {"both ready, h8 attacked: neither", attackedOn("r...k..r", 8), 0},
  };
  for (const ComputerCase& test : cases) {
    SCOPED_TRACE(test.what);
    startFrom(test.position);
    rootCount = 0;
    addComputerCastling();
    if (test.kingTo == 0) {
      EXPECT_EQ(rootCount, 0);
      continue;
    }
    ASSERT_EQ(rootCount, 1);
    const int rookFrom = test.kingTo == 7 ? 8 : 1;
    const int rookTo = test.kingTo == 7 ? 6 : 4;
    Board expected = board;
    expected(5, 8) = kEmpty;
    expected(rookFrom, 8) = kEmpty;
    expected(test.kingTo, 8) = kComputerKing;
    expected(rookTo, 8) = kRook;
    EXPECT_EQ(boardToText(rootPositions[1]), boardToText(expected));
  }
}

}  // namespace
}  // namespace vombel
