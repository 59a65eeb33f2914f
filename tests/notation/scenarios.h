// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Histories with the awkward cases of chess notation, made as the game records them, and the
// PGN movetext each must give (its games' moves, comments and results, tag sections left out).
// The engine tests read the text; the pgn-extract test has pgn-extract replay the file.
#pragma once

#include <sstream>
#include <string>

#include "game/events.h"
#include "state/board_ops.h"
#include "state/history.h"
#include "state/painting.h"
#include "state/state.h"
#include "tests/support/test_support.h"

namespace vombel::notation_scenarios {

struct Scenario {
  const char* name;
  const char* start;  // boardFromText's ranks
  // Half-moves: "e2e4" a move (a king's two-file step castles, a pawn on its last rank
  // promotes), "@e2e4" and "@e4=k" set-up changes (not recorded: they come with the next
  // half-move), "resign" the computer's resignation, "back:N" the scroll bar moved to entry N.
  const char* script;
  const char* movetext;
};

inline const Scenario kScenarios[] = {
    {"disambiguation by file, by rank and by both",
     "..k..... ........ ........ R....... ....Q..Q .....N.. ......K. RN.....Q",
     "b1d2 c8b8 a1a3 b8c8 h4e1 c8b8", "1. Nbd2 Kb8 2. R1a3 Kc8 3. Qh4e1 Kb8 *"},
    {"a pinned piece is no rival",
     "k....... ........ ........ ........ .b...... ........ "
     "...N.... ....K.N.",
     "g1f3 a8b8", "1. Nf3 Kb8 *"},
    {"checkmate, then the computer resigns",
     "......k. .....ppp ........ ........ ........ ........ ........ R...K...", "a1a8 resign",
     "1. Ra8# 1-0"},
    {"promotion by capture on both sides",
     "...r..k. ....P... ........ ........ ........ ........ .p...... ..R....K",
     "e7d8 g8g7 h1h2 b2c1", "1. exd8=Q+ Kg7 2. Kh2 bxc1=Q *"},
    {"castling king side, then queen side",
     "r...k..r pppppppp ........ ........ ........ "
     "........ PPPPPPPP R...K..R",
     "e1g1 e8c8", "1. O-O O-O-O *"},
    {"castling queen side, then king side",
     "r...k..r pppppppp ........ ........ ........ "
     "........ PPPPPPPP R...K..R",
     "e1c1 e8g8", "1. O-O-O O-O *"},
    {"a set-up change and a resignation, then play goes on", testing_support::kStartText,
     "e2e4 e7e5 g1f3 @d8h4 b8c6 resign d2d4",
     "1. e4 e5 2. Nf3 {Then the position was changed in set-up mode. The game goes on in the "
     "next game of this file.} * 1-0 3. d4 *"},
    {"a king left in check, then taken", testing_support::kStartText,
     "e2e4 e7e5 d1h5 f7f6 h5e8 @e8=k b8c6 g1f3",
     "1. e4 e5 2. Qh5 {Then Black played f6, leaving its king in check. Standard chess cannot "
     "set up the positions that follow (Black's king is in check with White to move); the "
     "game goes on from half-move 6 in the next game of this file.} * 4. Nf3 *"},
    {"a move out of turn and castling after the king has moved", testing_support::kStartText,
     "e2e4 e7e5 g8f6 g1f3 b8c6 f1c4 f8c5 e1f1 d7d6 f1e1 c8g4 e1g1",
     "1. e4 e5 {Then Black played Nf6 out of turn. The game goes on in the next game of this "
     "file.} * 3. Nf3 Nc6 4. Bc4 Bc5 5. Kf1 d6 6. Ke1 Bg4 {Then White castled, O-O, which "
     "standard chess does not allow here. The game goes on in the next game of this file.} * *"},
    {"the history scrolled back", testing_support::kStartText, "e2e4 e7e5 g1f3 b8c6 back:2",
     "1. e4 e5 *"},
    {"a first position without White's king",
     "....k... ........ ........ ........ ........ "
     "........ ........ R.......",
     "a1a2 e8d8 @h1=K a2a3 d8e8",
     "{Standard chess cannot set up the game's first positions (White has no king); the game "
     "goes on here from half-move 3.} 2... Ke8 *"},
};

inline int file(char ch) {
  return ch - 'a' + 1;
}
inline int rank(char ch) {
  return ch - '0';
}

// Plays scenario s from a new game.
inline void play(const Scenario& s) {
  testing_support::startFrom(s.start);
  std::istringstream words(s.script);
  std::string w;
  while (words >> w) {
    if (w == "resign") {
      recordHistory();
    } else if (w.rfind("back:", 0) == 0) {
      historia_Scroll(std::stoi(w.substr(5)));
    } else if (w[0] == '@' && w[3] == '=') {
      board(file(w[1]), rank(w[2])) = testing_support::boardFromText(std::string(64, w[4]))(1, 1);
    } else {
      const bool setUp = w[0] == '@';
      const std::string m = setUp ? w.substr(1) : w;
      const int fx = file(m[0]), fy = rank(m[1]), tx = file(m[2]), ty = rank(m[3]);
      const std::int32_t piece = board(fx, fy);
      makeMove(board, fx, fy, tx, ty);
      if ((piece == kHumanKing || piece == kComputerKing) && (tx - fx == 2 || fx - tx == 2)) {
        makeMove(board, tx > fx ? 8 : 1, fy, tx > fx ? 6 : 4, fy);  // the rook
      }
      if (setUp) continue;
      promoteLastRankPawns();
      pintar_tablero();
      recordHistory();
    }
  }
}

}  // namespace vombel::notation_scenarios
