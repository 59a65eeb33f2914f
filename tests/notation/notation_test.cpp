// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game in chess notation: SAN, move numbers and the games of a PGN file on the awkward cases
// (tests/notation/scenarios.h), the move list, FEN out and back in, Copy and Paste Position and
// Export Game.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "game/exchange.h"
#include "game/turn_cycle.h"
#include "notation/pgn.h"
#include "notation/record.h"
#include "platform/controls.h"
#include "tests/notation/scenarios.h"
#include "tests/support/scratch_directory.h"

namespace vombel {
namespace {

using notation_scenarios::kScenarios;
using notation_scenarios::play;
using testing_support::boardFromText;
using testing_support::GameTest;

char pgn[kPgnCapacity];

// The PGN of the history up to the entry shown, without its tag lines, its lines joined by
// spaces; each line checked to be shorter than 80 characters.
std::string movetext() {
  notateHistory(currentMove());
  EXPECT_GT(writePgn({"Player", "Vombel Chess", 2026, 1, 2}, pgn, sizeof pgn), 0);
  std::istringstream lines(pgn);
  std::string line;
  std::string joined;
  while (std::getline(lines, line)) {
    EXPECT_LT(line.size(), 80u) << line;
    if (line.empty() || line[0] == '[') continue;
    joined += (joined.empty() ? "" : " ") + line;
  }
  return joined;
}

using Notation = GameTest;

TEST_F(Notation, AwkwardHistoriesGiveTheirMovetext) {
  for (const auto& s : kScenarios) {
    play(s);
    EXPECT_EQ(movetext(), s.movetext) << s.name;
  }
}

TEST_F(Notation, MoveListNumbersMovesAndMarksSetUpChanges) {
  play(kScenarios[6]);  // e4 e5 Nf3, a set-up change with Nc6, a resignation, d4
  notateHistory(historia.max);
  const char* expected[] = {"", "1. e4", "e5", "2. Nf3", "(set-up)", "(resigns)", "3. d4"};
  ASSERT_EQ(recordLast, 6);
  for (int i = 0; i <= 6; ++i) {
    char text[kMoveTextSize];
    writeMoveListText(i, text);
    EXPECT_STREQ(text, expected[i]) << i;
  }
  // The last-move mark's squares: g1 to f3.
  const HalfMove& nf3 = gameRecord[3].move;
  EXPECT_EQ(nf3.fromX * 10 + nf3.fromY, 71);
  EXPECT_EQ(nf3.toX * 10 + nf3.toY, 63);

  // The computer moving first is Black's move 1, and White's reply move 2.
  tablero_Load();
  selectLevel(false);
  force_Click();
  c_Click(screenIndex(4, 2));
  c_Click(screenIndex(4, 4));
  notateHistory(historia.max);
  char text[kMoveTextSize];
  writeMoveListText(1, text);
  EXPECT_EQ(std::string(text).rfind("1... ", 0), 0u) << text;
  writeMoveListText(2, text);
  EXPECT_STREQ(text, "2. d4");
}

TEST_F(Notation, FenOutAndBackIn) {
  char fen[kFenSize];
  char reason[kFenReasonSize];
  notateHistory(0);
  writeEntryFen(0, fen);
  EXPECT_STREQ(fen, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
  play(kScenarios[8]);  // a move out of turn, castling after the king has moved
  notateHistory(currentMove());
  writeEntryFen(3, fen);  // after Black's Nf6 out of turn: a new game, White to move
  EXPECT_STREQ(fen, "rnbqkb1r/pppp1ppp/5n2/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 3");
  writeEntryFen(10, fen);  // after Kf1 d6 Ke1: the king is home, White's rights are not
  EXPECT_STREQ(fen, "r1bqk2r/ppp2ppp/2np1n2/2b1p3/2B1P3/5N2/PPPP1PPP/RNBQK2R b kq - 1 6");
  for (int i = 0; i <= currentMove(); ++i) {
    writeEntryFen(i, fen);
    Board back;
    ASSERT_TRUE(readFenPlacement(fen, back, reason)) << fen << ": " << reason;
    EXPECT_EQ(testing_support::boardToText(back), testing_support::boardToText(gameHistory[i]));
  }

  // A placement alone, with blanks around it, is taken; anything else is refused with a reason.
  Board b;
  EXPECT_TRUE(readFenPlacement("  4k3/8/8/8/8/8/8/4K3\n", b, reason));
  EXPECT_EQ(b(5, 8), kComputerKing);
  EXPECT_EQ(b(0, 0), kBorder);
  const char* refused[][2] = {
      {"", "there is no text"},
      {"4k3/8/8/8/8/8/4K3", "it has 7 ranks, not 8"},
      {"4k3/8/8/8/8/8/8/8/4K3", "it has more than 8 ranks"},
      {"4k3/8/8/45/8/8/8/4K3", "rank 5 has more than 8 squares"},
      {"4k3/8/8/7/8/8/8/4K3", "rank 5 has 7 squares, not 8"},
      {"4k3/8/8/8/8/8/8/4X3", "'X' is neither a piece letter nor a number of empty squares"},
      {"4k3/8/8/8/8/8/8/3KK3", "it has 2 White kings; the game plays with one"},
      {"4k3/8/8/8/8/8/8/4K3 w KQkq - 0 1 x",
       "the text after the placement is not the rest of "
       "a FEN"},
      {"4k3/8/8/8/8/8/8/4K3 white", "the text after the placement is not the rest of a FEN"},
  };
  for (const auto& r : refused) {
    b = boardFromText(testing_support::kStartText);
    EXPECT_FALSE(readFenPlacement(r[0], b, reason)) << r[0];
    EXPECT_STREQ(reason, r[1]) << r[0];
    EXPECT_EQ(b(5, 1), kHumanKing) << "a refused text changes nothing";
  }
}

TEST_F(Notation, CopyAndPastePosition) {
  char fen[kFenSize];
  char reason[kFenReasonSize];
  play(kScenarios[9]);  // e4 e5 Nf3 Nc6, scrolled back to entry 2: Black's e5 shown
  copyPosition(fen);
  EXPECT_STREQ(fen, "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2");

  const char* kPawnEnding = "8/5k2/8/8/8/8/1P6/4K3 w - - 0 40";
  EXPECT_FALSE(pastePosition(kPawnEnding, reason));
  EXPECT_STREQ(reason, "positions are pasted in set-up mode");
  boardsu.value = 1;
  EXPECT_FALSE(pastePosition("8/8/8", reason));
  EXPECT_EQ(currentMove(), 2);
  ASSERT_TRUE(pastePosition(kPawnEnding, reason)) << reason;
  EXPECT_EQ(currentMove(), 3) << "the paste is recorded after the position shown";
  EXPECT_EQ(historia.max, 3);
  copyPosition(fen);
  EXPECT_STREQ(fen, "8/5k2/8/8/8/8/1P6/4K3 w - - 0 2");
  notateHistory(historia.max);
  EXPECT_EQ(gameRecord[3].move.kind, EntryKind::setUp);
  EXPECT_TRUE(pastePosition(kPawnEnding, reason)) << "the same position again records nothing";
  EXPECT_EQ(currentMove(), 3);
  // Set-up mode's own changes show in the copy: the rights the placement allows, clock 0.
  board(2, 2) = kEmpty;
  board(2, 4) = -kPawn;
  copyPosition(fen);
  EXPECT_STREQ(fen, "8/5k2/8/8/1P6/8/8/4K3 w - - 0 2");
}

TEST_F(Notation, ExportWritesTheGameShownAndTellsWhatFails) {
  testing_support::ScratchDirectory folder;
  folder.enter("notation");
  char reason[kExportReasonSize];
  play(kScenarios[9]);  // scrolled back to entry 2
  const std::string path = "game.pgn";
  ASSERT_TRUE(exportGame(path.c_str(), reason)) << reason;
  std::ifstream in(path);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(
      text.find("[Black \"Vombel Chess " VOMBEL_VERSION "\"]\n[Result \"*\"]\n\n1. e4 e5 *\n"),
      std::string::npos)
      << text;
  EXPECT_EQ(recordLast, historia.max) << "the move list's record is whole again";

  EXPECT_FALSE(exportGame(".", reason));
  EXPECT_STREQ(reason, "not a regular file");
  EXPECT_FALSE(exportGame("missing/game.pgn", reason));
  EXPECT_STREQ(reason, "No such file or directory");

  testing_support::startFrom(
      "....k... ........ ........ ........ ........ ........ ........ "
      "........");
  EXPECT_FALSE(exportGame(path.c_str(), reason));
  EXPECT_STREQ(reason, "no position of this game is one that standard chess can set up");
  folder.leave();
}

}  // namespace
}  // namespace vombel
