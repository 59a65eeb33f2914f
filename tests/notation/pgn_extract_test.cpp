// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Exported games read by another program: the awkward histories of tests/notation/scenarios.h
// and whole games against the computer with a change made in set-up mode, written by Export Game
// and replayed by Debian's pgn-extract. It must read every file without a complaint, and the
// positions it reaches from each game's FEN, move by move, must be the game's (en passant
// squares aside: the game writes none).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/events.h"
#include "game/exchange.h"
#include "game/turn_cycle.h"
#include "notation/record.h"
#include "platform/controls.h"
#include "tests/notation/scenarios.h"
#include "tests/support/game_checks.h"
#include "tests/support/scratch_directory.h"

namespace vombel {
namespace {

using testing_support::GameTest;

// The FEN with its en passant field made "-".
std::string withoutEnPassant(const std::string& fen) {
  std::istringstream fields(fen);
  std::string placement, side, castling, enPassant, rest;
  fields >> placement >> side >> castling >> enPassant;
  std::getline(fields, rest);
  return placement + " " + side + " " + castling + " -" + rest;
}

// The positions of the exported games in the order of the file: each game's start, then the
// position after each of its moves.
std::vector<std::string> gamePositions() {
  notateHistory(currentMove());
  std::vector<std::string> positions;
  for (int i = 0; i <= recordLast; ++i) {
    const RecordEntry& e = gameRecord[i];
    const bool move = e.move.kind == EntryKind::move || e.move.kind == EntryKind::castling;
    char fen[kFenSize];
    writeEntryFen(i, fen);
    if ((e.gameMove && move) || e.gameStart) positions.emplace_back(fen);
  }
  return positions;
}

// The positions pgn-extract reaches in file: each game's FEN tag (the standard start without
// one), then the FEN comment it writes after each move. Its complaints go to complaints.
std::vector<std::string> replayed(const std::string& file, std::string& complaints) {
  const std::string command =
      std::string(PGN_EXTRACT) + " -s -C --fencomments " + file + " 2>complaints.txt";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  std::string output;
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run " << command;
    return {};
  }
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  EXPECT_EQ(::pclose(pipe), 0);
  std::ifstream errors("complaints.txt");
  complaints.assign(std::istreambuf_iterator<char>(errors), std::istreambuf_iterator<char>());

  std::vector<std::string> positions;
  std::istringstream lines(output);
  std::string line, movetext;
  const auto flush = [&] {
    for (std::size_t open = movetext.find('{'); open != std::string::npos;
         open = movetext.find('{', open + 1)) {
      positions.push_back(
          withoutEnPassant(movetext.substr(open + 2, movetext.find('}', open) - open - 3)));
    }
    movetext.clear();
  };
  while (std::getline(lines, line)) {
    if (line.rfind("[Event ", 0) == 0) {
      flush();
      positions.emplace_back("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    } else if (line.rfind("[FEN \"", 0) == 0) {
      positions.back() = line.substr(6, line.size() - 8);
    } else if (!line.empty() && line[0] != '[') {
      movetext += line + " ";
    }
  }
  flush();
  return positions;
}

// Exports the game shown and has pgn-extract replay it.
void checkWithPgnExtract(const std::string& what) {
  char reason[kExportReasonSize];
  ASSERT_TRUE(exportGame("game.pgn", reason)) << what << ": " << reason;
  std::string complaints;
  const std::vector<std::string> positions = replayed("game.pgn", complaints);
  std::ifstream file("game.pgn");
  const std::string pgn((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(complaints, "") << what << "\n" << pgn;
  EXPECT_EQ(positions, gamePositions()) << what << "\n" << pgn;
}

// Plays half-moves of the human's legal moves (castling where it can, otherwise as the seed
// picks) each answered by the computer at level Easy.
void playHumanMoves(int count, unsigned& seed) {
  for (int i = 0; i < count && !historyFull(); ++i) {
    const auto pairs = checks::legalClickPairs();
    if (pairs.empty()) return;
    seed = seed * 1103515245u + 12345u;
    auto pick = pairs[(seed >> 16) % pairs.size()];
    for (const auto& p : pairs) {
      if (p.castling) pick = p;
    }
    c_Click(pick.from);
    c_Click(pick.to);
  }
}

class PgnExtract : public GameTest {
 protected:
  void SetUp() override {
    if (std::string(PGN_EXTRACT).find("NOTFOUND") != std::string::npos) {
      GTEST_SKIP() << "pgn-extract is not installed (tools/setup.sh --dev installs it)";
    }
    GameTest::SetUp();
    folder.enter("pgn-extract");
  }
  void TearDown() override {
    if (!IsSkipped()) folder.leave();
  }
  testing_support::ScratchDirectory folder;
};

TEST_F(PgnExtract, ReadsTheAwkwardHistories) {
  for (const auto& s : notation_scenarios::kScenarios) {
    notation_scenarios::play(s);
    checkWithPgnExtract(s.name);
  }
}

TEST_F(PgnExtract, ReadsGamesAgainstTheComputerWithASetUpChange) {
  for (const unsigned game : {1u, 2u, 3u}) {
    unsigned seed = game;
    tablero_Load();
    selectLevel(false);
    playHumanMoves(12, seed);
    // Set-up mode: a White piece other than the king moved to an empty square, then "->".
    boardsu.value = 1;
    int from = -1, to = -1;
    for (int a = 0; a < 64; ++a) {
      const std::int32_t code = board(screenFile(a), screenRank(a));
      if (from < 0 && code < 0 && code != kHumanKing && code != -kPawn) from = a;
      if (code == kEmpty && screenRank(a) >= 3 && screenRank(a) <= 6) to = a;
    }
    ASSERT_GE(from, 0);
    c_Click(from);
    c_Click(to);
    boardsu.value = 0;
    force_Click();
    playHumanMoves(25, seed);
    checkWithPgnExtract("game " + std::to_string(game));
  }
}

}  // namespace
}  // namespace vombel
